#include "engine/partialfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "base/text/filenames.h"

namespace dromo {
namespace {

constexpr const char* kValidatorAttribute = "user.dromo.validator";
constexpr const char* kRangesAttribute = "user.dromo.ranges";
constexpr const char* kPiecesAttribute = "user.dromo.pieces";
// On a finished file: the validator its partial file had. Another name than
// the partial file's, so a finished file whose name ends in "+++" never
// passes for a partial file of Dromo's.
constexpr const char* kFinishedAttribute = "user.dromo.finished";
// Pieces this large go to the file as they come: copying them into the
// buffer first costs more (cache misses with many transfers at once) than
// the write it saves.
constexpr std::size_t kDirectWrite = 16 * 1024;

std::string SystemError()
{
    return std::strerror(errno);
}

// The value of an attribute; nothing when the file has none of that name.
std::optional<std::string> Attribute(const std::string& path, const char* name)
{
    char value[1024];
    const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
    if (n < 0) {
        return std::nullopt;
    }
    return std::string(value, static_cast<std::size_t>(n));
}

// The partial file's validator becomes the finished file's record. What
// the writer knows of the attributes (the validator it stored, that it never
// stored ranges or pieces) spares asking the file again.
void KeepRecordOfFinished(const std::string& path, const std::optional<std::string>& known, bool mayHoldMarks)
{
    if (const auto validator = known ? known : Attribute(path, kValidatorAttribute)) {
        if (!validator->empty()) {
            ::setxattr(path.c_str(), kFinishedAttribute, validator->data(), validator->size(), 0);
        }
        ::removexattr(path.c_str(), kValidatorAttribute);
    }
    if (mayHoldMarks) {
        ::removexattr(path.c_str(), kRangesAttribute);
        ::removexattr(path.c_str(), kPiecesAttribute);
    }
}

}  // namespace

PartialFile::PartialFile(std::string target) : m_target(std::move(target)), m_path(m_target + kSuffix)
{
}

PartialFile::~PartialFile()
{
    Close();
}

std::int64_t PartialFile::SizeOnDisk() const
{
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return -1;
    }
    return st.st_size;
}

std::string PartialFile::StoredValidator() const
{
    return Attribute(m_path, kValidatorAttribute).value_or(std::string());
}

bool PartialFile::Marked() const
{
    return Attribute(m_path, kValidatorAttribute).has_value() || Attribute(m_path, kRangesAttribute).has_value();
}

std::string PartialFile::FinishedRecord(const std::string& path)
{
    // A file renamed just before a crash still carries its partial file's
    // validator.
    auto record = Attribute(path, kFinishedAttribute);
    if (!record) {
        record = Attribute(path, kValidatorAttribute);
    }
    return record.value_or(std::string());
}

std::string PartialFile::Open(bool truncate)
{
    return OpenWith(truncate, nullptr);
}

std::string PartialFile::Open(bool truncate, const std::string& validator)
{
    return OpenWith(truncate, &validator);
}

std::string PartialFile::OpenWith(bool truncate, const std::string* validator)
{
    Close();
    m_validator.reset();
    m_mayHoldMarks = true;
    // A file made here holds nothing of an earlier one: no marks to clear.
    bool made = false;
    if (truncate) {
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        made = m_fd >= 0;
    }
    if (m_fd < 0) {
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : 0), 0644);
    }
    if (m_fd < 0) {
        return SystemError();
    }
    const off_t end = truncate ? 0 : ::lseek(m_fd, 0, SEEK_END);
    if (end < 0) {
        std::string error = SystemError();
        Close();
        return error;
    }
    m_size = end;
    m_writeError.clear();
    // Dromo's from its first byte: the server's validator, or an empty one
    // until it is known, so a crash before that leaves a file the next run
    // continues.
    if (validator != nullptr) {
        StoreValidator(*validator);
    } else if (truncate) {
        StoreValidator("");
    } else if (::fgetxattr(m_fd, kValidatorAttribute, nullptr, 0) < 0) {
        ::fsetxattr(m_fd, kValidatorAttribute, "", 0, XATTR_CREATE);
    }
    if (truncate && !made) {
        ::fremovexattr(m_fd, kRangesAttribute);
        ::fremovexattr(m_fd, kPiecesAttribute);
    }
    m_mayHoldMarks = !made;
    return {};
}

void PartialFile::SetFlushStep(std::size_t bytes)
{
    m_flushStep = bytes == 0 ? 1 : bytes;
}

bool PartialFile::Write(const char* data, std::size_t length)
{
    if (m_fd < 0) {
        m_writeError = "the file is not open";
        return false;
    }
    m_size += static_cast<std::int64_t>(length);
    if (m_buffer.empty() && length >= std::min<std::size_t>(m_flushStep, kDirectWrite)) {
        return WriteAll(data, length);
    }
    m_buffer.insert(m_buffer.end(), data, data + length);
    return m_buffer.size() < m_flushStep || Flush();
}

bool PartialFile::Flush()
{
    const bool ok = WriteAll(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return ok;
}

bool PartialFile::WriteAll(const char* data, std::size_t length)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(m_fd, data + done, length - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_writeError = SystemError();
            // What was not written is not in the file: keep the count honest
            // so a resume starts from what is really there.
            m_size -= static_cast<std::int64_t>(length - done);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void PartialFile::StoreValidator(const std::string& validator)
{
    if (m_fd < 0) {
        return;
    }
    // A file system without user attributes just loses the validator; the
    // resume is then checked by position and size alone, and the task list
    // keeps that the file is Dromo's.
    if (::fsetxattr(m_fd, kValidatorAttribute, validator.data(), validator.size(), 0) == 0) {
        m_validator = validator;
    } else {
        m_validator.reset();
    }
}

std::string PartialFile::StoredRanges() const
{
    char value[16384];
    const ssize_t n = ::getxattr(m_path.c_str(), kRangesAttribute, value, sizeof value);
    return n > 0 ? std::string(value, static_cast<std::size_t>(n)) : std::string();
}

bool PartialFile::StoreRanges(const std::string& ranges)
{
    if (m_fd < 0) {
        return false;
    }
    m_mayHoldMarks = true;
    if (ranges.empty()) {
        return ::fremovexattr(m_fd, kRangesAttribute) == 0 || errno == ENODATA;
    }
    return ::fsetxattr(m_fd, kRangesAttribute, ranges.data(), ranges.size(), 0) == 0;
}

std::string PartialFile::StoredPieceMark() const
{
    return Attribute(m_path, kPiecesAttribute).value_or(std::string());
}

bool PartialFile::StorePieceMark(const std::string& mark)
{
    if (m_fd < 0) {
        return false;
    }
    m_mayHoldMarks = true;
    if (mark.empty()) {
        return ::fremovexattr(m_fd, kPiecesAttribute) == 0 || errno == ENODATA;
    }
    return ::fsetxattr(m_fd, kPiecesAttribute, mark.data(), mark.size(), 0) == 0;
}

bool PartialFile::WriteAt(std::int64_t offset, const char* data, std::size_t length)
{
    if (m_fd < 0) {
        m_writeError = "the file is not open";
        return false;
    }
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pwrite(m_fd, data + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_writeError = SystemError();
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string PartialFile::SyncData() const
{
    if (m_fd < 0) {
        return "the file is not open";
    }
    return ::fdatasync(m_fd) == 0 ? std::string() : SystemError();
}

bool PartialFile::Extend(std::int64_t length)
{
    return m_fd >= 0 && ::ftruncate(m_fd, static_cast<off_t>(length)) == 0;
}

std::string PartialFile::Finish(const std::string& destination, const std::function<bool(const std::string&)>& mayTake)
{
    if (m_fd >= 0) {
        if (!Flush()) {
            return m_writeError;
        }
        if (::close(m_fd) != 0) {
            m_fd = -1;
            return SystemError();
        }
        m_fd = -1;
    }
    if (m_finishedTime >= 0) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(m_finishedTime), 0}};
        ::utimensat(AT_FDCWD, m_path.c_str(), times, 0);
    }
    const std::string wanted = destination.empty() ? m_target : destination;
    bool renamed = false;
    for (int n = 0; n < 1000 && !renamed; ++n) {
        const std::string target = n == 0 ? wanted : NumberedPath(wanted, n);
        if (mayTake && !mayTake(target)) {
            continue;
        }
        if (::renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            m_target = target;
            renamed = true;
        } else if (errno == EINVAL || errno == ENOSYS) {
            // A file system that cannot refuse to replace: check, then rename.
            struct stat st {};
            if (::lstat(target.c_str(), &st) != 0) {
                if (::rename(m_path.c_str(), target.c_str()) != 0) {
                    return SystemError();
                }
                m_target = target;
                renamed = true;
            }
        } else if (errno != EEXIST) {
            return SystemError();
        }
    }
    if (!renamed) {
        return "no free file name";
    }
    // After the rename: until then the partial file keeps its validator, so
    // a crash in between leaves a file that is resumed, or known, as before.
    KeepRecordOfFinished(m_target, m_validator, m_mayHoldMarks);
    return {};
}

void PartialFile::Close()
{
    if (m_fd >= 0) {
        Flush();
        ::close(m_fd);
        m_fd = -1;
    }
    // Closed, the file is anybody's again: its attributes are asked anew.
    m_validator.reset();
    m_mayHoldMarks = true;
}

void PartialFile::Retarget(std::string target)
{
    Close();
    m_target = std::move(target);
    m_path = m_target + kSuffix;
}

}  // namespace dromo
