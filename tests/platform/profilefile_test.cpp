// The profile file itself: readable by QSettings both ways, written
// atomically and privately, and never written over when it cannot be read.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include "platform/atomicfile.h"
#include "platform/inidocument.h"
#include "platform/settingsprofile.h"

namespace dromo {
namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.toLocal8Bit().constData(), &st), 0);
    return st.st_mode & 07777;
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Texts that each trip a different rule of the format: quoting, escapes,
// a list separator, a typed-value marker, blanks at the ends, UTF-8.
const std::vector<std::string> kTrickyTexts = {
    "",
    "plain",
    "http://user:pw@host/a b,c.zip?x=1;y=2",
    "  leading and trailing  ",
    "tab\there",
    "line\nbreak\r\nand more",
    "quote \" and backslash \\ and \\\\",
    "@looks typed",
    "@Variant(not really)",
    std::string("\x01\x1f"
                "1abc",
                6),
    "semi;colon",
    "comma, space",
    "=equals=",
    "Dromo/1.03 [en]; \"quoted\" ü 日本 \xF0\x9F\x98\x80",
    "trailing backslash\\",
    "#hash ;not a comment",
};

TEST(ProfileFile, TextsWrittenHereReadBackThroughQSettingsAndTheOtherWay)
{
    QTemporaryDir dir;
    const QString ours = dir.filePath("ours.ini");
    const QString theirs = dir.filePath("theirs.ini");
    {
        SettingsProfile profile(ours);
        QSettings settings(theirs, QSettings::IniFormat);
        for (std::size_t i = 0; i < kTrickyTexts.size(); ++i) {
            const std::string name = "URL" + std::to_string(i) + "\\Target";
            profile.WriteString("URL", name, kTrickyTexts[i]);
            settings.setValue("URL/URL" + QString::number(i) + "/Target", QString::fromStdString(kTrickyTexts[i]));
        }
        profile.WriteString("Settings", "Name with spaces % and ü", "v");
        profile.WriteInt("Settings", "Max Speed Value", -1);
        profile.WriteString("General", "Sect", "g");
        settings.setValue("Settings/Name with spaces % and ü", "v");
        settings.setValue("Settings/Max Speed Value", -1);
        settings.setValue("General/Sect", "g");
        ASSERT_TRUE(profile.Flush()) << profile.LastFlush().Reason();
        settings.sync();
        ASSERT_EQ(settings.status(), QSettings::NoError);
    }
    QSettings readByQt(ours, QSettings::IniFormat);
    SettingsProfile readHere(theirs);
    for (std::size_t i = 0; i < kTrickyTexts.size(); ++i) {
        const std::string& text = kTrickyTexts[i];
        EXPECT_EQ(readByQt.value("URL/URL" + QString::number(i) + "/Target").toString().toStdString(), text)
            << "QSettings reading ours, case " << i;
        EXPECT_EQ(readHere.GetString("URL", "URL" + std::to_string(i) + "\\Target", "<missing>"), text)
            << "ours reading QSettings', case " << i;
    }
    EXPECT_EQ(readByQt.value("Settings/Name with spaces % and ü").toString(), "v");
    EXPECT_EQ(readByQt.value("Settings/Max Speed Value").toInt(), -1);
    EXPECT_EQ(readByQt.value("General/Sect").toString(), "g");
    EXPECT_EQ(readHere.GetString("Settings", "Name with spaces % and ü", ""), "v");
    EXPECT_EQ(readHere.GetInt("Settings", "Max Speed Value", 0), -1);
    EXPECT_EQ(readHere.GetString("General", "Sect", ""), "g");
}

// Hand-edited lines QSettings has its own reading of: comments, a value
// continued on the next line, duplicates, a section given twice, blanks.
TEST(ProfileFile, HandEditedLinesReadAsQSettingsReadsThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    WriteBytes(path,
               "\xEF\xBB\xBF; a comment line\n"
               "[Settings]\n"
               "  Save%20to = /home/u/dl/  ; trailing comment\n"
               "User%20Agent=\"quoted ; kept\" \n"
               "Continued=first\\\n second\n"
               "Octal=\\101\\x42C\n"
               "Dup=1\n"
               "Dup=2\n"
               "List=a , \"b,c\" ,d\n"
               "Empty=\n"
               "[URL]\n"
               "URL0\\Target=http://h/f\n"
               "URL0/Size=12\n"
               "[Settings]\n"
               "Later=yes\n");
    QSettings qt(path, QSettings::IniFormat);
    SettingsProfile ours(path);
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"Settings", "Save to"}, {"Settings", "User Agent"}, {"Settings", "Continued"},
        {"Settings", "Octal"},   {"Settings", "Dup"},        {"Settings", "Empty"},
        {"Settings", "Later"},   {"URL", "URL0\\Target"},    {"URL", "URL0\\Size"},
    };
    for (const auto& [section, name] : keys) {
        QString key = QString::fromStdString(section + "/" + name);
        key.replace('\\', '/');
        EXPECT_EQ(ours.GetString(section, name, "<missing>"), qt.value(key, "<missing>").toString().toStdString())
            << name;
    }
    EXPECT_EQ(ours.GetString("Settings", "List", ""),
              qt.value("Settings/List").toStringList().join(", ").toStdString());
    EXPECT_EQ(ours.GetInt("Settings", "List", 7), 7);
    EXPECT_EQ(ours.GetInt("Settings", "Dup", 0), 2);
    auto names = ours.ValueNames("URL");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"URL0\\Size", "URL0\\Target"}));
}

TEST(ProfileFile, ValuesNobodyWritesGoBackOutUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    WriteBytes(path, "[Settings]\nGeometry=@Rect(1 2 3 4)\nList=a, b\nKeep=\"x\"\n");
    {
        SettingsProfile profile(path);
        profile.WriteInt("Settings", "MRU Num", 0);
        ASSERT_TRUE(profile.Flush());
    }
    QSettings qt(path, QSettings::IniFormat);
    EXPECT_EQ(qt.value("Settings/Geometry").toRect(), QRect(1, 2, 3, 4));
    EXPECT_EQ(qt.value("Settings/List").toStringList(), QStringList({"a", "b"}));
    EXPECT_EQ(qt.value("Settings/MRU Num").toInt(), 0);
}

// A file as somebody left it saves as the same text from its first save
// on: nothing in it drifts, or goes, from one start to the next.
TEST(ProfileFile, AHandEditedFileSavesTheSameAtEverySave)
{
    const char* files[] = {
        // A quote left open in the last line: the line break the saved line
        // ends with joined the value at every save.
        "[Settings]\nUser%20Agent=\"open quote\n",
        "[Settings]\r\nA=\"open\r\n[URL]\r\nB=1\r\n",
        // A backslash ending the file: saved as it was, it took the line
        // break after it, and at the next save the line after that.
        "[Settings]\nQuoted=\"last\\",
        "[Settings]\nContinued=first\\\n",
        // The same with a carriage return: written back with the line break
        // after it, the pair continued the line into the next one.
        "[Settings]\nA=x\\\r",
        "=\\\r",
        "[Settings]\nA=x\\\r\r\nB=1\n",
        // Continued into a comment, which ends the line: the first save kept
        // the continuation, the second dropped it.
        "[URL]\nd=\\\n; a comment\nC=1\n",
        // Two continuations, the second cut at the text's end: the first,
        // left at the end of the line, paired with the writer's line feed.
        "[s]\nex=\\\r\\\n",
        "[s]\nex=\\\n\\\n; c\n",
        // A continuation whose break is a line feed and a carriage return,
        // left at the end by a cut one: the writer's line feed paired with
        // the carriage return at the next load.
        "[s]\nx=a\\\n\r\\",
        "[s]\nx=\"q\\\r\n\"\\\n\r",
        // A name ending in a backslash (see below).
        "[Settings]\nTrailing%5C=kept\nNext=1\n",
        "[Settings]\n%5C=kept\n",
        // Spellings of a section named "general": all are written back as
        // "[%General]", so two of them merged at the second load.
        "[%General]\nA=1\n[%GeNeral]\nB=2\n",
        "[%67eneral]\nA=1\n[%General]\nA=2\n",
        // Bytes that would encode a UTF-16 surrogate, an overlong form or a
        // value past U+10FFFF are no character: written as a surrogate, the
        // name lost it at the next load. Half a pair read from the file is
        // dropped, as the other half always was.
        "[a\xED\xA4\x8C"
        "b]\nA=1\n",
        "[\xC0\x80\xF4\x90\x80\x80]\nA=1\n",
        "[x%UDC00y%UD83D]\nA=1\n",
        "[%UD83Dz%UDE00]\nA=1\n",
        // A stray byte is written as the character of its number, so it
        // names the section (or key) that character names.
        "[\xB8]\nA=1\n[\xC2\xB8]\nB=2\n",
        "[s]\n\xB8=1\n\xC2\xB8=2\n",
    };
    for (const char* file : files) {
        const std::string saved = IniDocument::Parse(file).Serialize();
        EXPECT_EQ(IniDocument::Parse(saved).Serialize(), saved) << file;
    }
    // The last line sets a value named earlier, so it is saved before other
    // values: left open, it took them into itself at the next load.
    for (const char* last : {"A=\"open", "A=open\\"}) {
        const std::string file = std::string("[Settings]\nA=1\nZ=2\n") + last;
        const IniDocument twice =
            IniDocument::Parse(IniDocument::Parse(IniDocument::Parse(file).Serialize()).Serialize());
        ASSERT_TRUE(twice.Get("Settings", "Z")) << file;
        EXPECT_EQ(twice.Get("Settings", "Z")->text, "2") << file;
        EXPECT_EQ(twice.Get("Settings", "A")->text, "open") << file;
    }
}

// A backslash separates the parts of a name; one that ends a name is
// written so that it cannot escape the "=" after it.
TEST(ProfileFile, ANameEndingInABackslashKeepsItsValue)
{
    const IniDocument once = IniDocument::Parse("[Settings]\nTrailing%5C=kept\nNext=1\n");
    const IniDocument twice = IniDocument::Parse(once.Serialize());
    ASSERT_TRUE(twice.Get("Settings", "Trailing\\"));
    EXPECT_EQ(twice.Get("Settings", "Trailing\\")->text, "kept");
    EXPECT_EQ(twice.Names("Settings"), (std::vector<std::string>{"Trailing\\", "Next"}));

    IniDocument written;
    written.Set("URL", "URL0\\", "v");
    EXPECT_EQ(IniDocument::Parse(written.Serialize()).Get("URL", "URL0\\")->text, "v");
    // QSettings reads that name as the same one.
    QTemporaryDir dir;
    WriteBytes(dir.filePath("Dromo.ini"), QByteArray::fromStdString(written.Serialize()));
    EXPECT_EQ(QSettings(dir.filePath("Dromo.ini"), QSettings::IniFormat).value("URL/URL0\\").toString(), "v");
}

TEST(ProfileFile, CreatedPrivateAndTightenedWhenLooser)
{
    QTemporaryDir dir;
    for (const mode_t before : {mode_t(0), mode_t(0644), mode_t(0666), mode_t(0600)}) {
        const QString path = dir.filePath(QString("Dromo%1.ini").arg(before, 0, 8));
        if (before != 0) {
            WriteBytes(path, "[Settings]\nPassword=c2VjcmV0\n");
            ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), before), 0);
        }
        SettingsProfile profile(path);
        profile.WriteString("Settings", "Password", "c2VjcmV0");
        ASSERT_TRUE(profile.Flush()) << profile.LastFlush().Reason();
        EXPECT_EQ(ModeOf(path), 0600u) << "was " << std::oct << before;
    }
}

// A file size limit stands in for a full disk while it lives: writes past
// 4 KiB stop with EFBIG.
class DiskFull {
public:
    DiskFull()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = 4096;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~DiskFull() { ::setrlimit(RLIMIT_FSIZE, &m_old); }
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    rlimit m_old{};
};

// 2000 task targets: a profile well beyond 4 KiB.
void AddTaskValues(SettingsProfile& profile)
{
    for (int i = 0; i < 2000; ++i) {
        profile.WriteString("URL", "URL" + std::to_string(i) + "\\Target", "http://host/some/long/path/file.zip");
    }
}

// What cannot be a profile is told at once, without reading it whole (or
// without end): too long a file, a link to a device that never ends, a pipe
// nobody writes to. Dromo starts with the problem shown.
TEST(ProfileFile, WhatCannotBeAProfileIsToldWithoutReadingItWhole)
{
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
        const char* reason;
    } cases[] = {
        {"over the limit",
         [](const std::string& p) {
             WriteBytes(QString::fromStdString(p), "[Settings]\n");
             ASSERT_EQ(::truncate(p.c_str(), static_cast<off_t>(IniDocument::kMaxText) + 1), 0);
         },
         "too large"},
        {"/dev/zero", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); }, "not a settings"},
        {"pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, "not a settings"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("Dromo.ini");
        c.make(path.toStdString());
        SettingsProfile profile(path);
        EXPECT_NE(profile.ReadProblem().find(c.reason), std::string::npos) << c.what << ": " << profile.ReadProblem();
        profile.WriteInt("Settings", "MRU Num", 0);
        EXPECT_FALSE(profile.Flush()) << c.what;
    }
}

// A save killed midway leaves its temporary file; the next start removes
// such files, and only those: the profile, files kept aside, a person's
// copies and files of another name stay.
TEST(ProfileFile, TemporariesOfKilledSavesAreRemovedAtStart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    WriteBytes(path, "[Settings]\nMRU%20Num=1\n");
    const QStringList leftovers = {"Dromo.ini.Xa93kQ", "Dromo.ini.0a1b2c", "Dromo.ini.ZZZZZZ"};
    const QStringList kept = {"Dromo.ini",        "Dromo.ini.backup", "Dromo.ini.unreadable-20260101-000000",
                              "Other.ini.Xa93kQ", "Dromo.ini.Xa93k",  "Dromo.ini.Xa93kQ7",
                              "Dromo.ini.Xa-3kQ", "Dromo.ini.Ya93kQ"};
    for (const QString& name : leftovers + kept) {
        if (name != "Dromo.ini") {
            WriteBytes(dir.filePath(name), "x");
            ::chmod(dir.filePath(name).toLocal8Bit().constData(), 0600);
        }
    }
    // One readable by others is nothing a save made.
    ::chmod(dir.filePath("Dromo.ini.Ya93kQ").toLocal8Bit().constData(), 0644);
    SettingsProfile profile(path);
    EXPECT_EQ(FilesIn(dir.path()).size(), leftovers.size() + kept.size());  // not by reading
    profile.RemoveLeftoverTemporaries();
    QStringList expected = kept;
    expected.sort();
    QStringList left = FilesIn(dir.path());
    left.sort();
    EXPECT_EQ(left, expected) << left.join(' ').toStdString();
    EXPECT_EQ(profile.GetInt("Settings", "MRU Num", 0), 1);
}

TEST(ProfileFile, AWriteThatFailsHalfwayLeavesTheOldFileWholeAndNoLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    WriteBytes(path, "[Settings]\nMRU%20Num=1\n");
    const QByteArray before = ReadBytes(path);
    SettingsProfile profile(path);
    AddTaskValues(profile);
    bool flushed = true;
    {
        DiskFull full;
        flushed = profile.Flush().Ok();
    }
    EXPECT_FALSE(flushed);
    EXPECT_NE(profile.LastFlush().Reason().find("Dromo.ini"), std::string::npos) << profile.LastFlush().Reason();
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"Dromo.ini"});
    // The next try, with room again, writes it all.
    ASSERT_TRUE(profile.Flush()) << profile.LastFlush().Reason();
    EXPECT_EQ(SettingsProfile(path).ValueNames("URL").size(), 2000u);
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"Dromo.ini"});
}

// Waits (bounded) until the condition holds; false when it never did.
bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// FlushSoon hands the file to a writer thread: it lands whole, a failure
// shows afterwards in LastFlush and in the next FlushSoon, and the next
// write that works clears it.
TEST(ProfileFile, FlushSoonWritesBehindTheCallerAndReportsAFailureLater)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    SettingsProfile profile(path);
    profile.WriteInt("Settings", "MRU Num", 0);
    EXPECT_TRUE(profile.FlushSoon());
    EXPECT_TRUE(Eventually([&] { return SettingsProfile(path).GetInt("Settings", "MRU Num", -1) == 0; }));
    EXPECT_TRUE(profile.LastFlush().Ok());
    const QByteArray before = ReadBytes(path);

    AddTaskValues(profile);
    bool failed = false;
    {
        DiskFull full;
        EXPECT_TRUE(profile.FlushSoon());  // the write before worked
        failed = Eventually([&] { return !profile.LastFlush(); });
    }
    ASSERT_TRUE(failed);
    EXPECT_NE(profile.LastFlush().Reason().find("Dromo.ini"), std::string::npos) << profile.LastFlush().Reason();
    EXPECT_EQ(ReadBytes(path), before);

    EXPECT_FALSE(profile.FlushSoon());  // says the last one failed, and tries again
    EXPECT_TRUE(Eventually([&] { return profile.LastFlush().Ok(); }));
    EXPECT_EQ(SettingsProfile(path).ValueNames("URL").size(), 2000u);
    EXPECT_TRUE(profile.Flush());
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"Dromo.ini"});
}

TEST(ProfileFile, ALinkedProfileIsWrittenThroughTheLink)
{
    QTemporaryDir dir;
    const QString real = dir.filePath("real.ini");
    const QString link = dir.filePath("Dromo.ini");
    WriteBytes(real, "[Settings]\nA=1\n");
    ASSERT_EQ(::symlink(real.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    SettingsProfile profile(link);
    profile.WriteInt("Settings", "A", 2);
    ASSERT_TRUE(profile.Flush());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(SettingsProfile(real).GetInt("Settings", "A", 0), 2);
}

// A profile that is there but cannot be read: a folder in its place, a
// binary file, a file without read permission (only testable without root).
TEST(ProfileFile, AnUnreadableProfileIsNeverWrittenOverAndCanBeKeptAside)
{
    struct Case {
        const char* what;
        std::function<void(const QString&)> make;
        bool needsNonRoot;
    };
    const std::vector<Case> cases = {
        {"folder", [](const QString& p) { QDir().mkpath(p + "/inside"); }, false},
        {"binary", [](const QString& p) { WriteBytes(p, QByteArray("[Settings]\nA=1\n\0\0\x07garbage", 24)); }, false},
        {"mode 000",
         [](const QString& p) {
             WriteBytes(p, "[Settings]\nMRU%20Num=3\n");
             ::chmod(p.toLocal8Bit().constData(), 0);
         },
         true},
    };
    for (const Case& c : cases) {
        if (c.needsNonRoot && ::geteuid() == 0) {
            continue;  // root reads it anyway
        }
        QTemporaryDir dir;
        const QString path = dir.filePath("Dromo.ini");
        c.make(path);
        const QFileInfo before(path);
        const mode_t mode = before.isDir() ? 0 : ModeOf(path);
        ::chmod(path.toLocal8Bit().constData(), 0600);
        const QByteArray bytes = before.isDir() ? QByteArray() : ReadBytes(path);
        ::chmod(path.toLocal8Bit().constData(), mode);
        {
            SettingsProfile profile(path);
            EXPECT_NE(profile.ReadProblem().find("cannot be read"), std::string::npos) << c.what;
            profile.WriteInt("Settings", "MRU Num", 0);
            EXPECT_FALSE(profile.Flush()) << c.what;
            EXPECT_NE(profile.LastFlush().Reason().find("Nothing is saved over it"), std::string::npos) << c.what;
        }  // nor at the end
        EXPECT_EQ(QFileInfo(path).isDir(), before.isDir()) << c.what;
        if (!before.isDir()) {
            ::chmod(path.toLocal8Bit().constData(), 0600);
            EXPECT_EQ(ReadBytes(path), bytes) << c.what;
            ::chmod(path.toLocal8Bit().constData(), mode);
        }

        SettingsProfile profile(path);
        const std::string told = profile.KeepUnreadableAside();
        EXPECT_NE(told.find("Dromo.ini.unreadable-"), std::string::npos) << told;
        profile.WriteInt("Settings", "MRU Num", 0);
        EXPECT_TRUE(profile.Flush()) << c.what << ": " << profile.LastFlush().Reason();
        const QStringList files = FilesIn(dir.path());
        ASSERT_EQ(files.size(), 2) << files.join(' ').toStdString();
        EXPECT_TRUE(files[1].startsWith("Dromo.ini.unreadable-")) << files[1].toStdString();
        EXPECT_EQ(QFileInfo(dir.filePath(files[1])).isDir(), before.isDir()) << c.what;
    }
}

// A read-only file or folder: by its mode for a normal user; as root,
// which writes regardless of modes, a folder on a file system mounted
// read-only where the machine lets a test mount one.
TEST(ProfileFile, AnEarlierFileKeptAsideIsNotReplaced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    WriteBytes(path, QByteArray("binary\0", 7));
    // Ones kept this second and the next stand in the way.
    const QDateTime now = QDateTime::currentDateTime();
    QStringList earlier;
    for (int s = 0; s < 2; ++s) {
        earlier << path + ".unreadable-" + now.addSecs(s).toString("yyyyMMdd-HHmmss");
        WriteBytes(earlier.back(), "earlier");
    }
    SettingsProfile profile(path);
    const std::string told = profile.KeepUnreadableAside();
    EXPECT_NE(told.find("Dromo.ini.unreadable-"), std::string::npos) << told;
    for (const QString& kept : earlier) {
        EXPECT_EQ(ReadBytes(kept), QByteArray("earlier")) << kept.toStdString();
    }
    EXPECT_EQ(FilesIn(dir.path()).size(), 3) << FilesIn(dir.path()).join(' ').toStdString();
}

TEST(ProfileFile, AReadOnlyFileOrFolderFailsTheSaveWithItsReason)
{
    QTemporaryDir dir;
    const bool root = ::geteuid() == 0;
    int tried = 0;
    for (const bool folder : {false, true}) {
        if (root && !folder) {
            continue;
        }
        const QString sub = dir.filePath(folder ? "ro-folder" : "ro-file");
        QDir().mkpath(sub);
        const QByteArray subPath = sub.toLocal8Bit();
        if (root && ::mount("tmpfs", subPath.constData(), "tmpfs", 0, "size=64k") != 0) {
            continue;
        }
        const QString path = sub + "/Dromo.ini";
        WriteBytes(path, "[Settings]\nA=1\n");
        if (root) {
            ASSERT_EQ(::mount(nullptr, subPath.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        } else {
            ::chmod((folder ? sub : path).toLocal8Bit().constData(), folder ? 0500 : 0400);
        }
        ++tried;
        SettingsProfile profile(path);
        profile.WriteInt("Settings", "A", 2);
        EXPECT_FALSE(profile.Flush());
        const std::string expected = root ? "Read-only file system" : "Permission denied";
        EXPECT_NE(profile.LastFlush().Reason().find(expected), std::string::npos) << profile.LastFlush().Reason();
        EXPECT_NE(profile.LastFlush().Reason().find(path.toStdString()), std::string::npos)
            << profile.LastFlush().Reason();
        EXPECT_EQ(ReadBytes(path), QByteArray("[Settings]\nA=1\n"));
        if (root) {
            ::umount(subPath.constData());
        } else {
            ::chmod(subPath.constData(), 0700);
            ::chmod(path.toLocal8Bit().constData(), 0600);
        }
    }
    if (tried == 0) {
        GTEST_SKIP() << "root, and no file system can be mounted read-only here";
    }
}

TEST(ProfileFile, AFlushWithNothingToWriteFollowsTheFileOnDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    WriteBytes(path, "[Settings]\nCapture%20All%20FTP=0\n");
    SettingsProfile reader(path);
    EXPECT_EQ(reader.GetInt("Settings", "Capture All FTP", 5), 0);
    {
        SettingsProfile writer(path);
        writer.WriteInt("Settings", "Capture All FTP", 1);
        ASSERT_TRUE(writer.Flush());
    }
    EXPECT_TRUE(reader.Flush());
    EXPECT_EQ(reader.GetInt("Settings", "Capture All FTP", 5), 1);
}

TEST(AtomicFile, ReplacesWholeAndPrivately)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("list.lst").toStdString();
    EXPECT_TRUE(WriteFileAtomically(path, "one").Ok());
    WriteBytes(QString::fromStdString(path), "old text that is longer");
    ::chmod(path.c_str(), 0664);
    EXPECT_TRUE(WriteFileAtomically(path, "two").Ok());
    EXPECT_EQ(ReadBytes(QString::fromStdString(path)), QByteArray("two"));
    EXPECT_EQ(ModeOf(QString::fromStdString(path)), 0600u);
    const std::string missing = dir.filePath("no/such/folder.lst").toStdString();
    const std::string error = WriteFileAtomically(missing, "x").Reason();
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"list.lst"});
}

}  // namespace
}  // namespace dromo
