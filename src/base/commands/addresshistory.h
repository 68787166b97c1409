#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/commands/taskadder.h"
#include "base/values/taskrecord.h"

namespace dromo {

class Profile;
struct GlobalOptions;

// The address bar's drop-down list of recent URLs, newest first, and the
// two add paths that go through it.
class AddressHistory {
public:
    // The address box delivers at most this many characters.
    static constexpr std::size_t kBoxLimit = 511;
    // A history entry holds at most this many; a longer URL is still added
    // as a task but not remembered.
    static constexpr std::size_t kEntryLimit = 1023;

    AddressHistory(TaskAdder& adder, const GlobalOptions& options);

    const std::vector<std::string>& Entries() const { return m_entries; }
    bool Shown() const { return m_shown; }
    void SetShown(bool shown) { m_shown = shown; }

    // Moves or puts the URL, without any login in it, at the top (a copy in
    // other letter case goes), keeping at most "Max History Item" entries;
    // a text holding a control character is not kept.
    void Insert(const std::string& url);
    void Clear() { m_entries.clear(); }

    // Enter in the address bar, or a URL from outside: nothing for an empty
    // URL or one ending in "/"; else into the history and added. How the add
    // ended, or nothing when none was tried.
    std::optional<AddResult> QuickAdd(const std::string& url);
    // After the Add URL or import sheet was confirmed.
    std::optional<AddResult> DialogAdd(const std::string& url, const TaskRecord& record);
    // A download a browser handed over: as QuickAdd, with what the browser
    // knew of it. A URL ending in "/" is taken when the browser named the file.
    std::optional<AddResult> DownloadAdd(const std::string& url, const DownloadDetails& details);

    // "Show Address Bar", "MRU List Num" and section "History".
    void Load(Profile& profile);
    void Save(Profile& profile) const;

private:
    TaskAdder& m_adder;
    const GlobalOptions& m_options;
    std::vector<std::string> m_entries;
    bool m_shown = true;
};

// What whoever handed a URL over from outside hears about the add: "" when a
// task was added, else the text that refused it (the one the box shows, or
// why nothing was tried).
std::string Refusal(const std::optional<AddResult>& result);

inline constexpr const char* kNothingToAdd = "Nothing to download: the URL is empty or ends in \"/\".";

}  // namespace dromo
