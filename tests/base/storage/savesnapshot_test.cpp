// A save's share on the window's thread: the tasks are copied (only those
// changed since the last save) under the lock, and the task section, the
// keyring and the disk are left to the profile's writer thread.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/ports/secretstore.h"
#include "base/storage/autosaver.h"
#include "base/storage/passwordkeyring.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "tests/base/fakes/fakeprofile.h"

namespace dromo {
namespace {

const PlatformDefaults kPlatform{"/dl/", "/share/"};

// Runs a section's fill where the INI profile does: on a thread of its own
// when the file is made, and notes which threads wrote task values.
class WriterThreadProfile : public test::FakeProfile {
public:
    std::set<std::thread::id> taskWriters;
    int handed = 0;

    void ReplaceSection(const std::string& section, SectionFill fill) override
    {
        ++handed;
        DeleteSection(section);
        m_fills.emplace_back(section, std::move(fill));
    }
    void WriteString(const std::string& section, const std::string& name, const std::string& value) override
    {
        Note(section);
        FakeProfile::WriteString(section, name, value);
    }
    void WriteInt(const std::string& section, const std::string& name, std::int32_t value) override
    {
        Note(section);
        FakeProfile::WriteInt(section, name, value);
    }
    Status Flush() override { return RunFills(), FakeProfile::Flush(); }
    Status FlushSoon() override { return RunFills(), FakeProfile::FlushSoon(); }
    void FlushThen(std::function<void(const Status&)> written) override
    {
        RunFills();
        FakeProfile::FlushThen(std::move(written));
    }

private:
    void Note(const std::string& section)
    {
        if (section == "URL") {
            taskWriters.insert(std::this_thread::get_id());
        }
    }
    void RunFills()
    {
        std::thread writer([this] {
            for (auto& [section, fill] : std::exchange(m_fills, {})) {
                fill(*this);
            }
        });
        writer.join();
    }
    std::vector<std::pair<std::string, SectionFill>> m_fills;
};

// A keyring that takes every password and notes the thread that asked.
struct ThreadNotingSecrets : SecretStore {
    std::set<std::thread::id> writers;
    bool Write(const std::string&, const std::string&) override
    {
        writers.insert(std::this_thread::get_id());
        return true;
    }
    std::optional<std::string> Read(const std::string&) override { return std::nullopt; }
    bool Delete(const std::string&) override { return true; }
};

void AddTask(TaskTable& table, const std::string& url, const std::string& file, const std::string& password = "")
{
    TaskRecord record;
    record.saveAs = file;
    record.password = password;
    record.userAgent = "Dromo/1.03 [en]";
    TaskRow row;
    row.texts[kColTarget] = url;
    row.texts[kColProgress] = "0%";
    table.Append(record, row);
}

TEST(SaveSnapshot, TheWindowsThreadWritesNoTaskValueAndAsksNoKeyring)
{
    WriterThreadProfile profile;
    ThreadNotingSecrets secrets;
    PasswordKeyring keyring(secrets);
    SettingsStore store(profile, kPlatform);
    store.UseKeyring(&keyring);
    ViewSettings settings;
    TaskTable table;
    AddTask(table, "http://h/a.zip", "/dl/a.zip");
    AddTask(table, "ftp://h/b.iso", "/dl/b.iso", "secret");
    AutoSaver saver(store, settings, table);
    table.SetState(0, TaskState::Paused);  // a change for the tick to save

    ASSERT_TRUE(saver.Tick());

    EXPECT_EQ(profile.handed, 1);
    EXPECT_EQ(profile.taskWriters.count(std::this_thread::get_id()), 0u);
    EXPECT_EQ(profile.taskWriters.size(), 1u);
    EXPECT_EQ(secrets.writers.count(std::this_thread::get_id()), 0u);
    EXPECT_EQ(secrets.writers.size(), 1u);
    // What the writer's thread wrote is the whole list, as before.
    EXPECT_EQ(profile.Text("URL", "URL1\\Target"), "ftp://h/b.iso");
    EXPECT_EQ(profile.Int("URL", "URL0\\Status"), static_cast<int>(TaskState::Paused));
    EXPECT_EQ(profile.Int("URL", "URL1\\Password Keyring"), 1);
    EXPECT_EQ(profile.Int("Settings", "MRU Num"), 2);
}

// Every kind of change between two saves reaches the second one: the
// snapshot reuses only tasks whose stored values are all the same.
TEST(SaveSnapshot, EveryChangeSinceTheLastSaveIsSaved)
{
    const std::vector<std::pair<const char*, std::function<void(TaskTable&)>>> changes = {
        {"progress text", [](TaskTable& t) { t.SetText(1, kColProgress, "42%"); }},
        {"size text", [](TaskTable& t) { t.SetText(1, kColSize, "1.5 MB"); }},
        {"resume text", [](TaskTable& t) { t.SetText(1, kColResume, "Yes"); }},
        {"target text", [](TaskTable& t) { t.SetText(1, kColTarget, "http://h/moved"); }},
        {"state", [](TaskTable& t) { t.SetState(1, TaskState::Running); }},
        {"file", [](TaskTable& t) { t.Update(t.TaskIdAt(1), [](TaskRecord& r) { r.saveAs = "/dl/other"; }); }},
        {"password", [](TaskTable& t) { t.Update(t.TaskIdAt(1), [](TaskRecord& r) { r.password = "new"; }); }},
        {"keyring entry", [](TaskTable& t) { t.Update(t.TaskIdAt(1), [](TaskRecord& r) { r.keyringId = "k"; }); }},
        {"user", [](TaskTable& t) { t.Update(t.TaskIdAt(1), [](TaskRecord& r) { r.user = "u"; }); }},
        {"speed limit", [](TaskTable& t) { t.Update(t.TaskIdAt(1), [](TaskRecord& r) { r.speedLimit = 7; }); }},
        {"checksum", [](TaskTable& t) { t.Update(t.TaskIdAt(1), [](TaskRecord& r) { r.checksum = "md5=00"; }); }},
        {"connections", [](TaskTable& t) { t.Update(t.TaskIdAt(1), [](TaskRecord& r) { r.connections = 3; }); }},
        {"partial file", [](TaskTable& t) { t.Update(t.TaskIdAt(2), [](TaskRecord& r) { r.ownsPartialFile = 1; }); }},
        {"row removed", [](TaskTable& t) { t.Remove(1); }},
        {"first row removed", [](TaskTable& t) { t.Remove(0); }},
        {"rows removed and added",
         [](TaskTable& t) {
             t.Remove(2);
             t.Remove(0);
             AddTask(t, "http://h/new", "/dl/new");
         }},
    };
    for (const auto& [what, change] : changes) {
        test::FakeProfile profile;
        SettingsStore store(profile, kPlatform);
        ViewSettings settings;
        TaskTable table;
        for (int i = 0; i < 4; ++i) {
            AddTask(table, "http://h/" + std::to_string(i), "/dl/" + std::to_string(i));
        }
        ASSERT_TRUE(store.Save(settings, table));
        change(table);
        ASSERT_TRUE(store.Save(settings, table));

        test::FakeProfile fresh;
        SettingsStore freshStore(fresh, kPlatform);
        ASSERT_TRUE(freshStore.Save(settings, table));
        EXPECT_EQ(profile.sections, fresh.sections) << what;
    }
}

}  // namespace
}  // namespace dromo
