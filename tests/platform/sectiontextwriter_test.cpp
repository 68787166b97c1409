// The task section written on the writer thread, straight from the saved
// tasks to its lines, gives the file byte for byte as the document gave it
// when every value was set in turn; and the writer makes only the newest of
// the texts posted while it was busy.

#include "platform/sectiontextwriter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/ports/secretstore.h"
#include "base/storage/passwordkeyring.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "platform/atomicfile.h"
#include "platform/settingsprofile.h"

namespace dromo {
namespace {

const PlatformDefaults kPlatform{"/dl/", "/share/"};

// The way every save went before: the section's values set one by one in
// the document, on the caller's thread.
class ValueByValueProfile : public SettingsProfile {
public:
    using SettingsProfile::SettingsProfile;
    void ReplaceSection(const std::string& section, SectionFill fill) override
    {
        Profile::ReplaceSection(section, std::move(fill));
    }
};

// Takes every password but "refused", which stays in the profile.
struct PickySecrets : SecretStore {
    bool Write(const std::string&, const std::string& secret) override { return secret != "refused"; }
    std::optional<std::string> Read(const std::string&) override { return std::nullopt; }
    bool Delete(const std::string&) override { return true; }
};

std::string ReadBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

// Values that take every path of the escaping: quotes, backslashes, the
// separators, blanks at either end, a leading "@", control bytes, UTF-8
// and stray bytes, nothing at all, and a very long one.
std::vector<std::string> OddTexts()
{
    return {"",
            "plain",
            "say \"hi\"",
            "C:\\dir\\file\\",
            "a;b,c=d",
            " leading and trailing ",
            "@at",
            "@@twice",
            "tab\there\nline\rend\x01\x1f"
            "7",
            std::string("nul\0"
                        "5",
                        5),
            "Grüße, 日本語, 🎉",
            "\xff\xfe stray",
            "ends with backslash\\",
            std::string(100000, 'x') + "\"" + std::string(1000, '\\')};
}

void FillTable(TaskTable& table)
{
    const std::vector<std::string> odd = OddTexts();
    for (std::size_t i = 0; i < odd.size(); ++i) {
        const std::string& text = odd[i];
        const std::string& other = odd[(i + 3) % odd.size()];
        TaskRecord record;
        record.saveAs = "/dl/" + std::to_string(i) + text;
        record.user = other;
        record.password = i % 4 == 0 ? "refused" : i % 4 == 1 ? text : i % 4 == 2 ? "anonymous@" : "";
        record.userAgent = text;
        record.httpVersion = other;
        record.startAt = text;
        record.referrer = other;
        record.checksum = text;
        record.autoSave = other;
        record.state = static_cast<std::int32_t>(1u << (i % 6));
        record.speedLimit = -static_cast<int>(i);
        record.connections = static_cast<int>(i % 16) + 1;
        TaskRow row;
        row.texts[kColTarget] = "http://h/" + text;
        row.texts[kColSize] = other;
        row.texts[kColResume] = text;
        row.texts[kColProgress] = i == 5 ? "100%" : other;
        table.Append(record, row);
    }
}

// The file the whole store saves through a profile of the given kind, over
// what `before` held.
template <typename Kind>
std::string SavedFile(const std::string& before, bool read = false)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    if (!before.empty()) {
        WriteBytes(path, before);
    }
    PickySecrets secrets;
    PasswordKeyring keyring(secrets);
    TaskTable table;
    FillTable(table);
    ViewSettings settings;
    settings.options = GlobalOptions::Defaults(kPlatform);
    settings.options.password = "options secret";
    settings.categories = {{"Odd", "zip", "/dl/\"odd\"/"}};
    settings.sites = {{"ftp.example", "u", "refused"}};
    {
        Kind profile(path);
        SettingsStore store(profile, kPlatform);
        store.UseKeyring(&keyring);
        EXPECT_TRUE(store.Save(settings, table));
        // Twice: the second save's section reuses what the first copied.
        table.SetText(2, kColProgress, "50%");
        EXPECT_TRUE(store.Save(settings, table));
        if (read) {
            // Taken back into the document, value by value, and written again.
            EXPECT_EQ(profile.GetString("URL", "URL1\\Target", ""), "http://h/plain");
            profile.WriteInt("Settings", "Touched", 1);
            EXPECT_TRUE(profile.Flush());
        }
    }
    return ReadBytes(path);
}

TEST(SectionTextWriter, TheTaskSectionIsByteForByteWhatTheDocumentWrote)
{
    // Keyring identifiers are random: the keyring's own lines differ per
    // run, so only where no keyring entry is written is everything equal.
    const std::vector<std::pair<const char*, std::string>> befores = {
        {"no file", ""},
        {"a file with the section in the middle",
         "[General]\nloose=1\n\n[Settings]\nMRU%20Num=2\n\n[URL]\nURL0\\Target=http://old\nURL7\\Stale=x\n\n"
         "[Zeta]\nkept=\"as, it was\"\n"},
        {"a file without the section", "[Settings]\nMRU%20Num=0\n\n[Zeta]\nkept=1\n"},
    };
    for (const auto& [what, before] : befores) {
        const std::string classic = SavedFile<ValueByValueProfile>(before);
        const std::string handed = SavedFile<SettingsProfile>(before);
        auto withoutIds = [](std::string text) {
            std::string out;
            std::size_t start = 0;
            while (start < text.size()) {
                std::size_t end = text.find('\n', start);
                end = end == std::string::npos ? text.size() : end + 1;
                const std::string line = text.substr(start, end - start);
                const std::size_t id = line.find("Keyring%20Id=");
                out += id == std::string::npos ? line : line.substr(0, id) + "Keyring%20Id=<id>\n";
                start = end;
            }
            return out;
        };
        ASSERT_GT(classic.size(), 100000u) << what;
        EXPECT_NE(classic.find("Keyring%20Id="), std::string::npos) << what;
        EXPECT_EQ(withoutIds(handed), withoutIds(classic)) << what;
        EXPECT_EQ(withoutIds(SavedFile<SettingsProfile>(before, true)),
                  withoutIds(SavedFile<ValueByValueProfile>(before, true)))
            << what;
    }
}

TEST(SectionTextWriter, LinesAreTheDocumentsOwnAndOtherSectionsGoBehind)
{
    QTemporaryDir dir;
    SettingsProfile rest(dir.filePath("Dromo.ini"));
    SectionTextWriter out("URL", rest);
    IniDocument doc;
    for (const std::string& text : OddTexts()) {
        out.WriteString("URL", "URL0\\" + text, text);
        doc.Set("URL", "URL0\\" + text, text);
    }
    out.WriteInt("URL", "URL1\\Status", -2147483647 - 1);
    doc.SetInt("URL", "URL1\\Status", -2147483647 - 1);
    out.WriteString("Settings", "Keyring Orphans", "URL/abc");
    EXPECT_EQ(out.GetInt("URL", "URL1\\Status", 9), 9);  // the section reads as empty
    EXPECT_EQ(rest.GetString("Settings", "Keyring Orphans", ""), "URL/abc");
    EXPECT_EQ("[URL]\n" + out.TakeLines(), doc.Serialize());
}

// Posted while the writer is busy, texts replace each other: only the
// newest is made and written, and every caller hears once it is on disk.
TEST(FileWriterThread, OnlyTheNewestOfTheTextsPostedMeanwhileIsMade)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("f").toStdString();
    std::mutex mutex;
    std::condition_variable changed;
    bool firstStarted = false;
    bool letFirstGo = false;
    std::vector<std::string> made;
    std::vector<std::string> told;
    auto make = [&](std::string text, bool hold) {
        return [&, text, hold] {
            std::unique_lock lock(mutex);
            made.push_back(text);
            if (hold) {
                firstStarted = true;
                changed.notify_all();
                changed.wait(lock, [&] { return letFirstGo; });
            }
            return TextPieces{std::make_shared<const std::string>(text)};
        };
    };
    auto tell = [&](std::string name) {
        return [&, name](const Status& written) {
            std::lock_guard lock(mutex);
            told.push_back(name + (written ? ":ok" : ":failed"));
        };
    };
    {
        FileWriterThread writer(path);
        writer.PostMade(make("one", true), tell("one"));
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return firstStarted; });
        }
        writer.PostMade(make("two", false), tell("two"));
        writer.PostMade(make("three", false), tell("three"));
        {
            std::lock_guard lock(mutex);
            letFirstGo = true;
        }
        changed.notify_all();
        EXPECT_TRUE(writer.Wait());
    }
    EXPECT_EQ(made, (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(told, (std::vector<std::string>{"one:ok", "two:ok", "three:ok"}));
    EXPECT_EQ(ReadBytes(QString::fromStdString(path)), "three");
}

}  // namespace
}  // namespace dromo
