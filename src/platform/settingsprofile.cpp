#include "platform/settingsprofile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "platform/atomicfile.h"
#include "platform/sectiontextwriter.h"

namespace dromo {

struct SettingsProfile::Handed {
    std::mutex mutex;  // held while the fill runs
    SectionFill fill;  // let go once run
    IniDocument::Pieces lines;
    bool made = false;
};

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

// Reads the file, or no more than `cap` bytes and one: more is no profile
// however long the file. An errno value when it exists but cannot be read,
// ENOENT when it does not exist, EFBIG when it is known to be longer than
// `cap` without reading it, ENODEV for what is no plain file (a link to
// /dev/zero never ends, a pipe may never answer).
int ReadFileUpTo(const std::string& path, std::size_t cap, std::string& text)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) > cap) {
        const int error = S_ISDIR(st.st_mode)                          ? EISDIR
                          : !S_ISREG(st.st_mode)                       ? ENODEV
                          : static_cast<std::size_t>(st.st_size) > cap ? EFBIG
                                                                       : errno;
        ::close(fd);
        return error;
    }
    text.clear();
    text.reserve(std::min(static_cast<std::size_t>(st.st_size), cap + 1));
    char buffer[1 << 16];
    while (text.size() <= cap) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, cap + 1 - text.size()));
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
    bool dirty = false;
    {
        std::lock_guard lock(m_docMutex);
        dirty = m_dirty;
    }
    if (dirty) {
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
    const int error = ReadFileUpTo(m_path, IniDocument::kMaxText, text);
    m_stamp = CurrentStamp();
    std::lock_guard lock(m_docMutex);
    m_handed.clear();
    m_parts.clear();
    if (error == ENOENT || error == ENOTDIR) {
        m_doc = IniDocument();
        m_unreadable = false;
        m_readProblem.clear();
        return;
    }
    // INI text never holds a NUL byte: such a file is something else (or
    // damaged) and is kept, not replaced by defaults.
    const bool tooLarge = error == EFBIG || (error == 0 && text.size() > IniDocument::kMaxText);
    const bool notText = error == ENODEV || (error == 0 && text.find('\0') != std::string::npos);
    const std::string reason = tooLarge     ? "it is too large to be a settings file"
                               : notText    ? "it is not a settings file"
                               : error != 0 ? std::strerror(error)
                                            : "";
    if (!reason.empty()) {
        m_doc = IniDocument();
        m_unreadable = true;
        m_readProblem = "The settings file " + m_path + " cannot be read (" + reason + ").";
        return;
    }
    m_doc = IniDocument::ParseKeeping(std::move(text));
    m_unreadable = false;
    m_readProblem.clear();
}

void SettingsProfile::RemoveLeftoverTemporaries() const
{
    dromo::RemoveLeftoverTemporaries(m_path);
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
    std::unique_lock lock(m_docMutex);
    TakeBack(section, lock);
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
    std::unique_lock lock(m_docMutex);
    TakeBack(section, lock);
    auto value = m_doc.Get(section, name);
    if (!value) {
        return defaultValue;
    }
    return std::move(value->text);
}

void SettingsProfile::WriteInt(const std::string& section, const std::string& name, std::int32_t value)
{
    std::unique_lock lock(m_docMutex);
    TakeBack(section, lock);
    m_doc.SetInt(section, name, value);
    m_dirty = true;
}

void SettingsProfile::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    std::unique_lock lock(m_docMutex);
    TakeBack(section, lock);
    m_doc.Set(section, name, value);
    m_dirty = true;
}

void SettingsProfile::DeleteSection(const std::string& section)
{
    std::lock_guard lock(m_docMutex);
    m_handed.erase(section);
    m_parts.erase(section);
    m_doc.RemoveSection(section);
    m_dirty = true;
}

std::vector<std::string> SettingsProfile::ValueNames(const std::string& section)
{
    std::unique_lock lock(m_docMutex);
    TakeBack(section, lock);
    return m_doc.Names(section);
}

void SettingsProfile::ForEachValueName(const std::string& section, const std::function<void(const std::string&)>& visit)
{
    std::unique_lock lock(m_docMutex);
    TakeBack(section, lock);
    m_doc.ForEachName(section, visit);
}

void SettingsProfile::ReplaceSection(const std::string& section, SectionFill fill)
{
    std::lock_guard lock(m_docMutex);
    m_handed.erase(section);
    // Where the fill's first value would have put a missing section.
    m_doc.EmptySection(section);
    auto handed = std::make_shared<Handed>();
    handed->fill = std::move(fill);
    m_handed.emplace(section, std::move(handed));
    m_dirty = true;
}

void SettingsProfile::FinishPendingSections()
{
    if (m_writer) {
        static_cast<void>(m_writer->Wait());  // lets a fill being run end; the outcome stays in LastFlush
    }
    std::unique_lock lock(m_docMutex);
    const HandedSections handed = m_handed;
    lock.unlock();
    for (const auto& [section, one] : handed) {
        LinesOf(*one, section);
    }
}

const IniDocument::Pieces& SettingsProfile::LinesOf(Handed& handed, const std::string& section)
{
    std::lock_guard lock(handed.mutex);
    if (!handed.made) {
        std::shared_ptr<const SectionTextWriter::Parts> kept;
        {
            std::lock_guard doc(m_docMutex);
            if (const auto it = m_parts.find(section); it != m_parts.end()) {
                kept = it->second;
            }
        }
        SectionTextWriter out(section, *this, std::move(kept));
        handed.fill(out);
        handed.lines = out.TakeLines();
        handed.fill = nullptr;  // the snapshot it owned goes now
        handed.made = true;
        std::lock_guard doc(m_docMutex);
        // Only for a section still handed over: one deleted or taken back
        // since is made whole at its next hand-over.
        if (m_handed.count(section) != 0) {
            m_parts[section] = out.TakeParts();
        }
    }
    return handed.lines;
}

void SettingsProfile::TakeBack(const std::string& section, std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        const auto it = m_handed.find(section);
        if (it == m_handed.end()) {
            return;
        }
        const std::shared_ptr<Handed> handed = it->second;
        lock.unlock();
        const IniDocument::Pieces& lines = LinesOf(*handed, section);
        lock.lock();
        const auto now = m_handed.find(section);
        if (now != m_handed.end() && now->second == handed) {
            m_handed.erase(now);
            m_parts.erase(section);  // the document holds the lines now
            for (const IniDocument::Lines& piece : lines) {
                m_doc.AppendLines(section, *piece);
            }
            return;
        }
    }
}

TextPieces SettingsProfile::Text()
{
    // The text is the profile as it stood when the writer began: the
    // sections handed over then and the rest beside them. The fills run
    // without the document's mutex, so the window's thread goes on
    // meanwhile; what it hands over since goes into the next text, which
    // its flush posted. Starting over with it instead would never finish a
    // long list whose tasks change more often than its text takes to make.
    std::unique_lock lock(m_docMutex);
    const HandedSections handed = m_handed;
    if (handed.empty()) {
        return m_doc.SerializePieces({});
    }
    const IniDocument then = m_doc;  // small: the long section is handed
    lock.unlock();
    for (const auto& [section, one] : handed) {
        LinesOf(*one, section);
    }
    const auto linesOf = [&handed](const std::string& section) -> const IniDocument::Pieces* {
        const auto it = handed.find(section);
        return it == handed.end() ? nullptr : &it->second->lines;
    };
    lock.lock();
    if (handed == m_handed) {
        // Nothing handed anew: the document now also holds what the fills
        // wrote elsewhere (the keyring's notes).
        return m_doc.SerializePieces(linesOf);
    }
    lock.unlock();
    return then.SerializePieces(linesOf);
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
    m_writer->PostMade([this] { return Text(); }, std::move(written));
    return {};
}

bool SettingsProfile::Dirty()
{
    std::lock_guard lock(m_docMutex);
    return m_dirty;
}

Status SettingsProfile::Flush()
{
    if (!Dirty()) {
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
    {
        std::lock_guard lock(m_docMutex);
        m_dirty = false;
    }
    m_stamp = CurrentStamp();
    return {};
}

Status SettingsProfile::FlushSoon()
{
    if (!Dirty()) {
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
    if (!Dirty()) {
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
