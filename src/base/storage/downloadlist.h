#pragma once

#include <string>
#include <vector>

#include "base/values/proxylist.h"

namespace dromo {

class TaskAdder;
class TaskTable;
struct GlobalOptions;

// The download list file (".lst"): the selected tasks of the list, as text
// another run can load.
class DownloadList {
public:
    // The path with ".lst" appended unless it ends in it (in any case).
    static std::string WithExtension(const std::string& path);

    struct ListText {
        std::string text;
        // The rows left out, in row order: a value of their task (its URL,
        // save path, login, proxy...) holds a line break, which no line of
        // the file can carry.
        std::vector<int> leftOut;
    };
    // The file's text for the given rows, in row order. It holds passwords
    // in plain text: the window writes it whole and owner-only (see
    // WriteFileAtomically), never in place, so a full disk cannot leave it
    // cut short.
    static ListText Write(const TaskTable& table, const std::vector<int>& rows, const ProxyList& proxies);

    // Adds every task section of the text through the adder, which shows its
    // own messages per task. A proxy named in the file is found in, or
    // appended to, the proxy list (under the task-table lock, since workers
    // read it). Returns how many tasks were added.
    static int Load(const std::string& text, const GlobalOptions& options, ProxyList& proxies, TaskTable& table,
                    TaskAdder& adder);
    // Reads the file and loads it; -1 when it cannot be read.
    static int LoadFile(const std::string& path, const GlobalOptions& options, ProxyList& proxies, TaskTable& table,
                        TaskAdder& adder);
};

}  // namespace dromo
