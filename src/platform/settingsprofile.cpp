#include "platform/settingsprofile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "platform/atomicfile.h"

namespace dromo {
namespace {

std::string DefaultPath()
{
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/Tarnwick Software/Dromo.ini"))
        .toStdString();
}

std::string_view TrimmedNumber(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    if (s.size() > 1 && s.front() == '+' && s[1] != '-') {
        s.remove_prefix(1);
    }
    return s;
}

// Reads the whole file; an errno value when it exists but cannot be read,
// ENOENT when it does not exist.
int ReadWholeFile(const std::string& path, std::string& text)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return error;
    }
    text.clear();
    text.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            return error;
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return 0;
}

}  // namespace

SettingsProfile::SettingsProfile() : m_path(DefaultPath())
{
    Read();
}

SettingsProfile::SettingsProfile(const QString& iniPath) : m_path(iniPath.toStdString())
{
    Read();
}

SettingsProfile::~SettingsProfile()
{
    if (m_dirty) {
        static_cast<void>(Flush());  // nobody is left to tell; a failure keeps the old file whole
    }
    m_writer.reset();  // waits for a write still going on
}

QString SettingsProfile::FileName() const
{
    return QString::fromStdString(m_path);
}

void SettingsProfile::Read()
{
    std::string text;
    const int error = ReadWholeFile(m_path, text);
    m_stamp = CurrentStamp();
    if (error == ENOENT || error == ENOTDIR) {
        m_doc = IniDocument();
        m_unreadable = false;
        m_readProblem.clear();
        return;
    }
    // INI text never holds a NUL byte: such a file is something else (or
    // damaged) and is kept, not replaced by defaults.
    const std::string reason = error != 0                             ? std::strerror(error)
                               : text.find('\0') != std::string::npos ? "it is not a settings file"
                                                                      : "";
    if (!reason.empty()) {
        m_doc = IniDocument();
        m_unreadable = true;
        m_readProblem = "The settings file " + m_path + " cannot be read (" + reason + ").";
        return;
    }
    m_doc = IniDocument::Parse(text);
    m_unreadable = false;
    m_readProblem.clear();
}

SettingsProfile::Stamp SettingsProfile::CurrentStamp() const
{
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0) {
        return {};
    }
    return {static_cast<long long>(st.st_ino), static_cast<long long>(st.st_size),
            static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

std::string SettingsProfile::KeepUnreadableAside()
{
    if (!m_unreadable) {
        return {};
    }
    const std::string stem = m_path + ".unreadable-" +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    // An earlier one kept in the same second is not replaced either.
    std::string aside = stem;
    struct stat st {};
    for (int n = 2; ::lstat(aside.c_str(), &st) == 0; ++n) {
        aside = stem + "-" + std::to_string(n);
    }
    if (::rename(m_path.c_str(), aside.c_str()) != 0) {
        return m_readProblem + " It could not be moved aside (" + std::strerror(errno) +
               "), so Dromo starts with its default settings and will not save them over it.";
    }
    m_unreadable = false;
    m_stamp = CurrentStamp();
    return m_readProblem + " It was kept as " + aside + "; Dromo starts with its default settings.";
}

std::int32_t SettingsProfile::GetInt(const std::string& section, const std::string& name, std::int32_t defaultValue)
{
    const auto value = m_doc.Get(section, name);
    if (!value || !value->plainText) {
        return defaultValue;  // a list or a typed value is no number
    }
    const std::string_view digits = TrimmedNumber(value->text);
    std::int32_t parsed = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed, 10);
    return ec == std::errc() && ptr == digits.data() + digits.size() && !digits.empty() ? parsed : defaultValue;
}

std::string SettingsProfile::GetString(const std::string& section, const std::string& name,
                                       const std::string& defaultValue)
{
    auto value = m_doc.Get(section, name);
    return value ? std::move(value->text) : defaultValue;
}

void SettingsProfile::WriteInt(const std::string& section, const std::string& name, std::int32_t value)
{
    m_doc.SetInt(section, name, value);
    m_dirty = true;
}

void SettingsProfile::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    m_doc.Set(section, name, value);
    m_dirty = true;
}

void SettingsProfile::DeleteSection(const std::string& section)
{
    m_doc.RemoveSection(section);
    m_dirty = true;
}

std::vector<std::string> SettingsProfile::ValueNames(const std::string& section)
{
    return m_doc.Names(section);
}

Status SettingsProfile::Post(FileWriterThread::Written written)
{
    if (m_unreadable) {
        return Status::Failure(m_readProblem + " Nothing is saved over it.");
    }
    const QString folder = QFileInfo(FileName()).absolutePath();
    if (!QDir().mkpath(folder)) {
        return Status::Failure("Cannot create the folder " + folder.toStdString() + ".");
    }
    if (!m_writer) {
        m_writer = std::make_unique<FileWriterThread>(m_path);
    }
    m_writer->Post(m_doc.Serialize(), std::move(written));
    return {};
}

Status SettingsProfile::Flush()
{
    if (!m_dirty) {
        if (!(CurrentStamp() == m_stamp)) {
            Read();
        }
        m_lastFlush = m_unreadable ? Status::Failure(m_readProblem + " Nothing is saved over it.") : Status();
        return m_lastFlush;
    }
    if (m_lastFlush = Post(); !m_lastFlush) {
        return m_lastFlush;
    }
    m_lastFlush = m_writer->Wait();
    if (!m_lastFlush) {
        return m_lastFlush;
    }
    m_dirty = false;
    m_stamp = CurrentStamp();
    return {};
}

Status SettingsProfile::FlushSoon()
{
    if (!m_dirty) {
        return Flush();
    }
    // Still counted as unwritten until a Flush has waited for the disk.
    Status before = m_writer ? m_writer->Last() : Status();
    if (m_lastFlush = Post(); !m_lastFlush) {
        return m_lastFlush;
    }
    m_lastFlush = {};  // LastFlush follows the writer from here on
    return before;
}

void SettingsProfile::FlushThen(std::function<void(const Status&)> written)
{
    if (!m_dirty) {
        written(Flush());
        return;
    }
    if (m_lastFlush = Post(written); !m_lastFlush) {
        written(m_lastFlush);  // never posted, so never told by the writer
    }
}

Status SettingsProfile::LastFlush() const
{
    if (!m_lastFlush || !m_writer) {
        return m_lastFlush;
    }
    return m_writer->Last();
}

}  // namespace dromo
