#include "platform/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/text/filenames.h"

namespace dromo {
namespace {

Status Failure(const std::string& path, int error)
{
    return Status::Failure("Cannot write " + path + ": " + std::strerror(error) + ".");
}

// The file a path names, through any links; the path itself when it does
// not exist yet (or a link dangles).
std::string Resolved(const std::string& path)
{
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) != nullptr) {
        return buffer;
    }
    return path;
}

// A long list comes in a piece for each task: they go out many at a call.
bool WriteAll(int fd, const TextPieces& pieces)
{
    std::vector<iovec> left;
    left.reserve(pieces.size());
    for (const auto& piece : pieces) {
        if (!piece->empty()) {
            left.push_back({const_cast<char*>(piece->data()), piece->size()});
        }
    }
    std::size_t next = 0;
    while (next < left.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(left.size() - next, IOV_MAX));
        const ssize_t n = ::writev(fd, left.data() + next, count);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            errno = EIO;  // nothing taken of a text left: it never would be
            return false;
        }
        // Past what was written, the first piece left part-written.
        auto written = static_cast<std::size_t>(n);
        while (next < left.size() && written >= left[next].iov_len) {
            written -= left[next++].iov_len;
        }
        if (written > 0) {
            left[next].iov_base = static_cast<char*>(left[next].iov_base) + written;
            left[next].iov_len -= written;
        }
    }
    return true;
}

}  // namespace

Status WriteFileAtomically(const std::string& path, std::string_view text)
{
    return WriteFileAtomically(path, TextPieces{std::make_shared<const std::string>(text)});
}

Status WriteFileAtomically(const std::string& path, const TextPieces& pieces)
{
    const std::string target = Resolved(path);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            return Failure(path, EISDIR);
        }
        // Replacing it by rename would work, but its owner marked it not
        // to be changed.
        if (::access(target.c_str(), W_OK) != 0) {
            return Failure(path, errno);
        }
    }
    const std::string folder = DirectoryOf(target);
    std::string temp = target + ".XXXXXX";
    // mkstemp creates the file 0600 and never reuses an existing one.
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return Failure(path, errno);
    }
    int error = 0;
    if (!WriteAll(fd, pieces)) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        return Failure(path, error);
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);  // a folder that refuses fsync still holds the rename
        ::close(dir);
    }
    return {};
}

namespace {

// What mkstemp makes of "XXXXXX": six letters and digits. Six lower-case
// letters alone ("backup") are more likely a name a person gave a copy, and
// a temporary that happens to look so (one in two hundred) is left.
bool IsTemporarySuffix(std::string_view suffix)
{
    constexpr std::size_t kLength = 6;
    if (suffix.size() != kLength) {
        return false;
    }
    bool notAWord = false;
    for (const char c : suffix) {
        const bool lower = c >= 'a' && c <= 'z';
        const bool other = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!lower && !other) {
            return false;
        }
        notAWord = notAWord || other;
    }
    return notAWord;
}

}  // namespace

void RemoveLeftoverTemporaries(const std::string& path)
{
    const std::string target = Resolved(path);
    const std::string folder = DirectoryOf(target);
    const std::string prefix = NameOfPath(target) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix ||
            !IsTemporarySuffix(name.substr(prefix.size()))) {
            continue;
        }
        const std::string leftover = folder + "/" + std::string(name);
        struct stat st {};
        // Only what a write makes: a plain file of this user, private.
        if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            (st.st_mode & 0777) == 0600) {
            ::unlink(leftover.c_str());
        }
    }
    ::closedir(dir);
}

FileWriterThread::FileWriterThread(std::string path) : m_path(std::move(path)), m_thread([this] { Run(); })
{
}

FileWriterThread::~FileWriterThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void FileWriterThread::Post(std::string text, Written written)
{
    PostMade([piece = std::make_shared<const std::string>(std::move(text))] { return TextPieces{piece}; },
             std::move(written));
}

void FileWriterThread::PostMade(Make make, Written written)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = std::move(make);
        // A text replaced before it was written takes its callers along.
        if (written) {
            m_waiting.push_back(std::move(written));
        }
    }
    m_changed.notify_all();
}

Status FileWriterThread::Wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_pending && !m_writing; });
    return m_last;
}

Status FileWriterThread::Last() const
{
    std::lock_guard lock(m_mutex);
    return m_last;
}

void FileWriterThread::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_pending || m_stop; });
        if (!m_pending) {
            return;  // stopping, with nothing left to write
        }
        Make make = std::exchange(m_pending, nullptr);
        std::vector<Written> waiting = std::exchange(m_waiting, {});
        m_writing = true;
        lock.unlock();
        Status written = WriteFileAtomically(m_path, make());
        // Told before Wait returns: whoever waits for the disk knows its
        // callers have heard.
        for (const Written& tell : waiting) {
            tell(written);
        }
        lock.lock();
        m_writing = false;
        m_last = std::move(written);
        m_changed.notify_all();
    }
}

}  // namespace dromo
