#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/values/status.h"

namespace dromo {

// Replaces a whole file so that, whatever happens (a full disk, a crash, a
// power cut), the file holds either all of the old text or all of the new:
// the text goes to a temporary file beside it, is synced, and is renamed
// over the old one; then the folder is synced so the rename itself lasts.
//
// The files written this way may hold passwords, so the new file is only
// readable by its owner (0600), whatever the old one allowed. A link is
// followed: its target is replaced, the link stays.
//
// A file its owner made read-only is left alone (an error), as is a
// folder standing where the file should be.
//
// A failure's reason is a sentence naming the file and the cause.
Status WriteFileAtomically(const std::string& path, std::string_view text);
// The same for a text in pieces, written one after the other: a long piece
// made elsewhere is written where it lies, never copied into one string.
using TextPieces = std::vector<std::shared_ptr<const std::string>>;
Status WriteFileAtomically(const std::string& path, const TextPieces& pieces);
// Removes the temporary files beside the file that writes killed midway
// left ("Dromo.ini.Xa93kQ"); the file itself and other names stay. Only
// for a start-up, when no write of this file can be going on.
void RemoveLeftoverTemporaries(const std::string& path);

// One file written by WriteFileAtomically on a thread of its own, so the
// disk (a slow fsync can take seconds) never holds up the caller. Texts are
// written in the order posted; one not yet started when a newer one comes
// is skipped, since the newer holds all of it.
class FileWriterThread {
public:
    // Told the outcome of the write that put a posted text (or a newer one,
    // which holds all of it) on disk; called on the writer thread.
    using Written = std::function<void(const Status&)>;

    explicit FileWriterThread(std::string path);
    // Writes what is still pending, then ends the thread.
    ~FileWriterThread();
    FileWriterThread(const FileWriterThread&) = delete;
    FileWriterThread& operator=(const FileWriterThread&) = delete;

    void Post(std::string text, Written written = {});
    // Makes the text on the writer thread when its turn comes, so a long
    // file costs the poster nothing; one replaced before its turn is never
    // made. `make` runs without the writer's lock held.
    using Make = std::function<TextPieces()>;
    void PostMade(Make make, Written written = {});
    // Waits until everything posted is written; the outcome of the last
    // write.
    Status Wait();
    // The outcome of the last finished write, without waiting.
    Status Last() const;

private:
    void Run();

    const std::string m_path;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Make m_pending;                  // empty when nothing waits
    std::vector<Written> m_waiting;  // told when m_pending is written
    bool m_writing = false;
    bool m_stop = false;
    Status m_last;
    std::thread m_thread;  // last: started once the rest is ready
};

}  // namespace dromo
