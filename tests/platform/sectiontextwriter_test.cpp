// The task section written on the writer thread, straight from the saved
// tasks to its lines, gives the file byte for byte as the document gave it
// when every value was set in turn; and the writer makes only the newest of
// the texts posted while it was busy.

#include "platform/sectiontextwriter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <random>
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

// The files the whole store saves through a profile of the given kind, over
// what `before` held, one after each save of a list that changes between
// them as a busy list does.
template <typename Kind>
std::vector<std::string> SavedFiles(const std::string& before, bool read = false)
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
    const auto setPassword = [&table](int row, const char* password) {
        table.Update(table.TaskIdAt(row), [password](TaskRecord& r) { r.password = password; });
    };
    // Each after the save before it; the section's text of the tasks
    // that stayed as they were is taken again where the profile keeps it.
    const std::vector<std::function<void()>> changes = {
        [] {},
        [&] { table.SetText(2, kColProgress, "50%"); },
        [&] { table.Remove(4); },  // the tasks below it move up
        [&] {
            setPassword(1, kDefaultPassword);  // out of the keyring
            setPassword(3, "");
            setPassword(6, "now a secret");  // into it
        },
        [&] {
            TaskRecord record;
            record.saveAs = "/dl/last";
            TaskRow row;
            row.texts[kColTarget] = "http://h/last";
            table.Append(record, row);
        },
    };
    std::vector<std::string> files;
    {
        Kind profile(path);
        SettingsStore store(profile, kPlatform);
        store.UseKeyring(&keyring);
        for (const auto& change : changes) {
            change();
            EXPECT_TRUE(store.Save(settings, table));
            files.push_back(ReadBytes(path));
        }
        if (read) {
            // Taken back into the document, value by value, and written again.
            EXPECT_EQ(profile.GetString("URL", "URL1\\Target", ""), "http://h/plain");
            profile.WriteInt("Settings", "Touched", 1);
            EXPECT_TRUE(profile.Flush());
            table.SetText(0, kColProgress, "10%");
            EXPECT_TRUE(store.Save(settings, table));
        }
    }
    files.push_back(ReadBytes(path));
    return files;
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
        auto withoutIds = [](const std::vector<std::string>& files) {
            std::vector<std::string> texts;
            for (const std::string& text : files) {
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
                texts.push_back(std::move(out));
            }
            return texts;
        };
        for (const bool read : {false, true}) {
            SCOPED_TRACE(std::string(what) + (read ? ", the list read back value by value" : ""));
            const std::vector<std::string> classic = SavedFiles<ValueByValueProfile>(before, read);
            ASSERT_GT(classic.front().size(), 100000u);
            EXPECT_NE(classic.front().find("Keyring%20Id="), std::string::npos);
            EXPECT_NE(classic[3], classic[4]);  // the last change is saved
            EXPECT_EQ(withoutIds(SavedFiles<SettingsProfile>(before, read)), withoutIds(classic));
        }
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
    std::string lines;
    for (const auto& piece : out.TakeLines()) {
        lines += *piece;
    }
    EXPECT_EQ("[URL]\n" + lines, doc.Serialize());
}

// A part's text is taken again only where the next fill names the same
// object at the same place; the section's lines are what its writes would
// give either way.
TEST(SectionTextWriter, APartIsTakenAgainOnlyForTheSameObjectAtTheSamePlace)
{
    using Same = std::shared_ptr<const int>;
    const Same a = std::make_shared<const int>(1);
    const Same b = std::make_shared<const int>(2);
    const Same c = std::make_shared<const int>(3);
    const Same d = std::make_shared<const int>(4);
    QTemporaryDir dir;
    SettingsProfile rest(dir.filePath("Dromo.ini"));
    // The places whose writes ran, and the lines.
    auto fill = [&rest](const std::vector<Same>& parts, std::shared_ptr<const SectionTextWriter::Parts> kept,
                        std::vector<std::size_t>& ran) {
        SectionTextWriter out("URL", rest, std::move(kept));
        for (std::size_t place = 0; place < parts.size(); ++place) {
            const Same& same = parts[place];
            out.WritePart(same, [&ran, &same, place](Profile& part) {
                ran.push_back(place);
                part.WriteString("URL", "URL" + std::to_string(place) + "\\Value",
                                 same != nullptr ? std::to_string(*same) : "none");
            });
        }
        std::string lines;
        for (const auto& piece : out.TakeLines()) {
            lines += *piece;
        }
        return std::pair{lines, out.TakeParts()};
    };
    const std::vector<Same> first = {a, b, nullptr, c};
    struct Next {
        const char* what;
        std::vector<Same> parts;
        std::vector<std::size_t> written;
    };
    const Next nexts[] = {
        {"the same", {a, b, nullptr, c}, {2}},
        {"one changed", {a, d, nullptr, c}, {1, 2}},
        {"one gone, those after it one place up", {a, nullptr, c}, {1, 2}},
        {"one more at the end", {a, b, nullptr, c, d}, {2, 4}},
        {"none", {}, {}},
    };
    for (const Next& next : nexts) {
        SCOPED_TRACE(next.what);
        std::vector<std::size_t> ran;
        const auto kept = fill(first, nullptr, ran).second;
        ran.clear();
        const std::string lines = fill(next.parts, kept, ran).first;
        EXPECT_EQ(ran, next.written);
        std::vector<std::size_t> fresh;
        EXPECT_EQ(lines, fill(next.parts, nullptr, fresh).first);
        EXPECT_EQ(fresh.size(), next.parts.size());
    }
}

// A long-lived store saving a list that changes at random between saves
// (rows changed, moved up by a removal, added, read back value by value;
// some saves handed over while the writer still makes the one before)
// writes after each saved round exactly the file a fresh store writes of
// the same list with nothing kept.
TEST(SectionTextWriter, ASaveAfterRandomChangesIsByteForByteAFreshSaveOfTheList)
{
    constexpr int kTasks = 300;
    constexpr int kRounds = 120;
    const std::vector<std::string> odd = OddTexts();
    std::mt19937 random(20261210);
    const auto pick = [&random](std::size_t count) {
        return static_cast<std::size_t>(std::uniform_int_distribution<std::size_t>(0, count - 1)(random));
    };
    const auto text = [&] { return pick(4) == 0 ? std::string("100%") : odd[pick(odd.size() - 1)]; };
    const auto append = [&](TaskTable& table) {
        TaskRecord record;
        record.saveAs = "/dl/" + text();
        record.password = pick(2) == 0 ? "" : text();
        TaskRow row;
        row.texts[kColTarget] = "http://h/" + text();
        row.texts[kColProgress] = text();
        table.Append(record, row);
    };
    const std::vector<std::function<void(TaskTable&, int)>> changes = {
        [&](TaskTable& table, int row) {
            const Column columns[] = {kColTarget, kColSize, kColProgress, kColResume};
            table.SetText(row, columns[pick(4)], text());
        },
        [&](TaskTable& table, int row) {
            const auto state = static_cast<std::int32_t>(1u << pick(6));
            table.Update(table.TaskIdAt(row), [state](TaskRecord& r) { r.state = state; });
        },
        [&](TaskTable& table, int row) {
            const std::string value = text();
            const int which = static_cast<int>(pick(5));
            table.Update(table.TaskIdAt(row), [&value, which](TaskRecord& r) {
                std::string* fields[] = {&r.saveAs, &r.user, &r.password, &r.failure, &r.referrer};
                *fields[which] = value;
            });
        },
        [&](TaskTable& table, int row) { table.Remove(row); },
        [&](TaskTable& table, int) { append(table); },
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("Dromo.ini");
    const QString freshPath = dir.filePath("Fresh.ini");
    ViewSettings settings;
    settings.options = GlobalOptions::Defaults(kPlatform);
    TaskTable table;
    for (int i = 0; i < kTasks; ++i) {
        append(table);
    }
    SettingsProfile profile(path);
    SettingsStore store(profile, kPlatform);
    int compared = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int count = static_cast<int>(pick(8));
        for (int k = 0; k < count && table.Count() > 0; ++k) {
            changes[pick(changes.size())](table, static_cast<int>(pick(static_cast<std::size_t>(table.Count()))));
        }
        if (pick(10) == 0 && table.Count() > 0) {
            const std::string name = "URL" + std::to_string(pick(static_cast<std::size_t>(table.Count()))) + "\\Target";
            static_cast<void>(profile.GetString("URL", name, ""));
        }
        if (pick(3) == 0) {
            static_cast<void>(store.SaveSoon(settings, table));
            continue;
        }
        ASSERT_TRUE(store.Save(settings, table));
        QFile::remove(freshPath);
        {
            SettingsProfile freshProfile(freshPath);
            SettingsStore fresh(freshProfile, kPlatform);
            ASSERT_TRUE(fresh.Save(settings, table));
        }
        const std::string saved = ReadBytes(path);
        const std::string whole = ReadBytes(freshPath);
        const std::size_t at = static_cast<std::size_t>(
            std::mismatch(saved.begin(), saved.end(), whole.begin(), whole.end()).first - saved.begin());
        ASSERT_EQ(saved.size(), whole.size()) << "first difference at " << at << ": " << saved.substr(at, 200);
        ASSERT_EQ(at, saved.size()) << saved.substr(at, 200) << "\ninstead of\n" << whole.substr(at, 200);
        ++compared;
    }
    EXPECT_GT(compared, kRounds / 2);
}

// A keyring that may refuse for a while (locked), and notes what it holds
// and what was deleted from it.
struct LockableSecrets : SecretStore {
    bool taking = true;
    std::map<std::string, std::string> held;
    std::vector<std::string> deleted;
    bool Write(const std::string& key, const std::string& secret) override
    {
        if (taking) {
            held[key] = secret;
        }
        return taking;
    }
    std::optional<std::string> Read(const std::string& key) override
    {
        const auto it = held.find(key);
        return it == held.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool Delete(const std::string& key) override
    {
        deleted.push_back(key);
        return held.erase(key) != 0;
    }
};

// The text of a task that stayed as it was is taken again at the next save,
// but not where the keyring may hold its password: the keyring is asked
// again (it may have been locked, or unlocked), and its sweep must not
// delete the entry of a task still listed.
TEST(SectionTextWriter, ATaskWhosePasswordTheKeyringMayHoldIsWrittenAnewAtEverySave)
{
    for (const bool lockedFirst : {false, true}) {
        SCOPED_TRACE(lockedFirst ? "the keyring locked at the first save" : "the keyring open");
        QTemporaryDir dir;
        const QString path = dir.filePath("Dromo.ini");
        LockableSecrets secrets;
        secrets.taking = !lockedFirst;
        PasswordKeyring keyring(secrets);
        TaskTable table;
        for (const char* password : {"secret", ""}) {
            TaskRecord record;
            record.password = password;
            TaskRow row;
            row.texts[kColTarget] = "http://h/" + std::string(password);
            table.Append(record, row);
        }
        ViewSettings settings;
        settings.options = GlobalOptions::Defaults(kPlatform);
        SettingsProfile profile(path);
        SettingsStore store(profile, kPlatform);
        store.UseKeyring(&keyring);
        ASSERT_TRUE(store.Save(settings, table));
        secrets.taking = true;
        for (const char* progress : {"10%", "20%"}) {
            table.SetText(1, kColProgress, progress);  // the other task only
            ASSERT_TRUE(store.Save(settings, table));
        }
        const std::string saved = ReadBytes(path);
        EXPECT_NE(saved.find("URL0\\Password%20Keyring=1\n"), std::string::npos) << saved;
        EXPECT_EQ(saved.find("c2VjcmV0"), std::string::npos) << saved;  // the password in Base64
        EXPECT_EQ(secrets.held.size(), 1u);
        EXPECT_EQ(secrets.deleted, std::vector<std::string>());
    }
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
