#include "base/storage/settingsstore.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <set>
#include <vector>

#include "base/commands/taskadder.h"
#include "base/ports/network.h"
#include "base/ports/profile.h"
#include "base/storage/passwordkeyring.h"
#include "base/tasks/tasktable.h"
#include "base/text/base64.h"
#include "base/text/parseurl.h"
#include "base/text/trace.h"

namespace dromo {
namespace {

const std::string kSettings = "Settings";
const std::string kUrl = kTaskListSection;
const std::string kCategory = "Category";
const std::string kSite = "Site";
const std::string kProxy = "Proxy";

// The classic reader takes a task whose "Progress" reads "100%" for done
// without looking at its state. A task with every byte on disk that is not
// done (its file failed its checksum, or was still being verified) is
// stored with this text instead, so no reader ever takes it for done; this
// reader shows it as "100%" again.
constexpr const char* kWholeButNotDone = "100% (not done)";
constexpr const char* kDoneProgress = "100%";

// The per-task values that map straight onto record fields, in the order a
// save writes them (the row texts, "Status" and "Password" have rules of
// their own). Their defaults on reading differ from the global ones.
struct TaskValue {
    const char* suffix;
    std::int32_t TaskRecord::*intField;
    std::string TaskRecord::*textField;
    std::int32_t intDefault;
    const char* textDefault;
};

constexpr std::array kTaskValuesBeforeStatus = {
    TaskValue{"SaveTo", nullptr, &TaskRecord::saveAs, 0, ""},
    TaskValue{"Username", nullptr, &TaskRecord::user, 0, "anonymous"},
};

constexpr std::array kTaskValuesAfterPassword = {
    TaskValue{"Max Speed Value", &TaskRecord::speedLimit, nullptr, -1, nullptr},
    TaskValue{"Max Error Count", &TaskRecord::errorCount, nullptr, 5, nullptr},
    TaskValue{"Interval between Retries", &TaskRecord::retryInterval, nullptr, 1, nullptr},
    TaskValue{"Max Idle Time", &TaskRecord::idleTime, nullptr, 30, nullptr},
    TaskValue{"Refresh Rate", &TaskRecord::refresh, nullptr, 100, nullptr},
    TaskValue{"Auto Save", nullptr, &TaskRecord::autoSave, 0, "128"},
    TaskValue{"PASV Mode", &TaskRecord::pasvMode, nullptr, 0, nullptr},
    TaskValue{"User Agent", nullptr, &TaskRecord::userAgent, 0, "Dromo/1.03 [en]"},
    // A task stored without a version was made when every task spoke 1.1.
    TaskValue{"Http Version", nullptr, &TaskRecord::httpVersion, 0, "1.1"},
    TaskValue{"Enable Authentication", &TaskRecord::useLogin, nullptr, 0, nullptr},
    TaskValue{"Enable Schedule", &TaskRecord::scheduled, nullptr, 0, nullptr},
    TaskValue{"Until Finished", &TaskRecord::untilFinished, nullptr, 1, nullptr},
    TaskValue{"Duration", &TaskRecord::duration, nullptr, 30, nullptr},
    TaskValue{"Schedule Start at", nullptr, &TaskRecord::startAt, 0, "22:00"},
    TaskValue{"Enable Proxy", &TaskRecord::useProxy, nullptr, 0, nullptr},
    TaskValue{"Proxy Index", &TaskRecord::proxyIndex, nullptr, 0, nullptr},
    TaskValue{"Referrer", nullptr, &TaskRecord::referrer, 0, ""},
    TaskValue{"Browser Cookie", &TaskRecord::browserCookie, nullptr, 0, nullptr},
    TaskValue{"Name Chosen", &TaskRecord::nameChosen, nullptr, 0, nullptr},
    TaskValue{"Connections", &TaskRecord::connections, nullptr, 0, nullptr},  // 0: not stored
    TaskValue{"Own Partial File", &TaskRecord::ownsPartialFile, nullptr, 0, nullptr},
    TaskValue{"Checksum", nullptr, &TaskRecord::checksum, 0, ""},
    TaskValue{"Mirrors", nullptr, &TaskRecord::mirrors, 0, ""},
    TaskValue{"Pieces", nullptr, &TaskRecord::pieces, 0, ""},
    TaskValue{"Metalink Document", &TaskRecord::metalinkDocument, nullptr, 0, nullptr},
};

// What a save stores of a record: the fields WriteTask reads (and the
// identifier the next snapshot finds it by), no others.
TaskRecord StoredPart(const TaskRecord& from)
{
    TaskRecord to;
    to.taskId = from.taskId;
    for (const TaskValue& v : kTaskValuesBeforeStatus) {
        to.*v.textField = from.*v.textField;
    }
    to.state = from.state;
    to.password = from.password;
    to.keyringId = from.keyringId;
    to.failure = from.failure;
    to.verified = from.verified;
    to.stream = from.stream;
    to.variant = from.variant;
    for (const TaskValue& v : kTaskValuesAfterPassword) {
        if (v.intField != nullptr) {
            to.*v.intField = from.*v.intField;
        } else {
            to.*v.textField = from.*v.textField;
        }
    }
    return to;
}

std::string EntryName(const std::string& prefix, int index, const char* suffix = nullptr)
{
    std::string name = prefix + std::to_string(index);
    if (suffix != nullptr) {
        name += '\\';
        name += suffix;
    }
    return name;
}

// The indices of the entries a section really holds, below the stored
// count, in ascending order: "Cat3" or "Proxy3\Host" gives 3. Indices are
// written without leading zeros, so "URL03\Target" is no entry.
std::vector<int> StoredIndices(Profile& profile, const std::string& section, const std::string& prefix,
                               std::int32_t count)
{
    std::vector<int> indices;
    if (count <= 0) {
        return {};
    }
    // A task's 28 values name one index: each name is looked at where it
    // lies, and only a new index is kept.
    profile.ForEachValueName(section, [&](const std::string& name) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
            return;
        }
        const char* first = name.data() + prefix.size();
        const char* last = name.data() + name.size();
        const char* digitsEnd = std::find_if(first, last, [](char c) { return c < '0' || c > '9'; });
        if (digitsEnd == first || (*first == '0' && digitsEnd - first > 1)) {
            return;
        }
        if (digitsEnd != last && *digitsEnd != '\\') {
            return;
        }
        int index = 0;
        const auto [ptr, ec] = std::from_chars(first, digitsEnd, index);
        if (ec == std::errc() && ptr == digitsEnd && index < count && (indices.empty() || indices.back() != index)) {
            indices.push_back(index);
        }
    });
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

// A category value is "name;extension;folder"; without ";" the name and the
// extension are empty.
CategoryEntry ParseCategory(const std::string& value)
{
    CategoryEntry entry;
    const std::size_t first = value.find(';');
    if (first == std::string::npos) {
        entry.folder = value;
        return entry;
    }
    entry.name = value.substr(0, first);
    const std::size_t second = value.find(';', first + 1);
    if (second == std::string::npos) {
        entry.extension = value.substr(first + 1);
        return entry;
    }
    entry.extension = value.substr(first + 1, second - first - 1);
    entry.folder = value.substr(second + 1);
    return entry;
}

// List passwords are always Base64. A value that is not Base64 (written by
// hand) is taken as the plain password rather than thrown away.
std::string DecodeOrKeep(const std::string& stored)
{
    auto decoded = Base64Decode(stored);
    return decoded ? *decoded : stored;
}

}  // namespace

SettingsStore::SettingsStore(Profile& profile, PlatformDefaults platform)
    : m_profile(profile), m_platform(std::move(platform))
{
}

SettingsStore::~SettingsStore()
{
    m_profile.FinishPendingSections();
}

std::optional<std::string> SettingsStore::KeyringLoad(const std::string& section, const std::string& name,
                                                      std::string& keyringId)
{
    keyringId.clear();
    if (!m_keyring) {
        return std::nullopt;
    }
    auto kept = m_keyring->Load(m_profile, section, name);
    if (!kept) {
        return std::nullopt;
    }
    keyringId = std::move(kept->id);
    return std::move(kept->password);
}

bool SettingsStore::KeyringSave(const std::string& section, const std::string& name, const std::string& password,
                                const std::string& keyringId)
{
    return m_keyring && m_keyring->Save(m_profile, section, name, password, keyringId);
}

void SettingsStore::KeyringSweep(const std::string& section)
{
    if (m_keyring) {
        m_keyring->Sweep(m_profile, section);
    }
}

std::string SettingsStore::ReadListPassword(const std::string& section, const std::string& name, std::string& keyringId)
{
    if (auto kept = KeyringLoad(section, name, keyringId)) {
        return *kept;
    }
    return DecodeOrKeep(m_profile.GetString(section, name, ""));
}

void SettingsStore::WriteListPassword(const std::string& section, const std::string& name, const std::string& password,
                                      const std::string& keyringId)
{
    if (!KeyringSave(section, name, password, keyringId)) {
        m_profile.WriteString(section, name, Base64Encode(password));
    }
}

std::string SettingsStore::ReadPassword(const std::string& section, const std::string& name, std::string& keyringId)
{
    if (auto kept = KeyringLoad(section, name, keyringId)) {
        return *kept;
    }
    std::string stored = m_profile.GetString(section, name, kDefaultPassword);
    if (EqualsIgnoreCase(stored, kDefaultPassword)) {
        return stored;
    }
    return DecodeOrKeep(stored);
}

void SettingsStore::WritePassword(const std::string& section, const std::string& name, const std::string& password,
                                  const std::string& keyringId)
{
    WritePasswordTo(m_profile, m_keyring, section, name, password, keyringId);
}

void SettingsStore::WritePasswordTo(Profile& out, PasswordKeyring* keyring, const std::string& section,
                                    const std::string& name, const std::string& password, const std::string& keyringId)
{
    if (keyring != nullptr && keyring->Save(out, section, name, password, keyringId)) {
        return;
    }
    out.WriteString(section, name, EqualsIgnoreCase(password, kDefaultPassword) ? password : Base64Encode(password));
}

void SettingsStore::Load(ViewSettings& settings, TaskAdder& adder, Network& network)
{
    // Everything a worker reads comes before the first restored task: a task
    // restored with "Resume if Start" may start a worker at once, which must
    // find its proxy, its site login and the connection state in place (and
    // the lists are assigned here without the task-table lock).
    settings.options = LoadOptions();
    m_connectionsDefault = settings.options.connectionsPerTask;
    settings.categories = LoadCategories();
    settings.sites = LoadSites();
    settings.proxies = LoadProxies();
    const ConnectionState state = network.GetConnectedState();
    settings.options.connected = state.connected;
    settings.options.modemConnection = state.modem;
    LoadTasks(adder);
}

GlobalOptions SettingsStore::LoadOptions()
{
    GlobalOptions options = GlobalOptions::Defaults(m_platform);
    for (const IntOption& o : IntOptions()) {
        options.*o.field = m_profile.GetInt(kSettings, o.name, options.*o.field);
    }
    for (const TextOption& o : TextOptions()) {
        options.*o.field = m_profile.GetString(kSettings, o.name, options.*o.field);
    }
    options.password = ReadPassword(kSettings, "Password", m_optionsKeyringId);
    options.connectionsPerTask = ClampConnections(options.connectionsPerTask);
    return options;
}

SettingsStore::StoredTask SettingsStore::ReadTask(int i)
{
    StoredTask task;
    task.target = m_profile.GetString(kUrl, EntryName("URL", i, "Target"), "");
    task.size = m_profile.GetString(kUrl, EntryName("URL", i, "Size"), "");
    task.resume = m_profile.GetString(kUrl, EntryName("URL", i, "Resume"), "N/A");
    task.progress = m_profile.GetString(kUrl, EntryName("URL", i, "Progress"), "");
    TaskRecord& record = task.record;
    for (const TaskValue& v : kTaskValuesBeforeStatus) {
        record.*v.textField = m_profile.GetString(kUrl, EntryName("URL", i, v.suffix), v.textDefault);
    }
    // A finished task is known by its progress text; its stored state is
    // not even read.
    if (task.progress == kDoneProgress) {
        record.SetState(TaskState::Done);
    } else {
        record.state = m_profile.GetInt(kUrl, EntryName("URL", i, "Status"), 2);
        if (task.progress == kWholeButNotDone) {
            task.progress = kDoneProgress;
        }
    }
    record.password = ReadPassword(kUrl, EntryName("URL", i, "Password"), record.keyringId);
    for (const TaskValue& v : kTaskValuesAfterPassword) {
        const std::string name = EntryName("URL", i, v.suffix);
        if (v.intField != nullptr) {
            record.*v.intField = m_profile.GetInt(kUrl, name, v.intDefault);
        } else {
            record.*v.textField = m_profile.GetString(kUrl, name, v.textDefault);
        }
    }
    record.connections = ClampConnections(record.connections == 0 ? m_connectionsDefault : record.connections);
    // Written only for a task that has them; the restore decides what they
    // still mean.
    record.failure = m_profile.GetString(kUrl, EntryName("URL", i, "Failure"), "");
    record.verified = m_profile.GetString(kUrl, EntryName("URL", i, "Verified"), "");
    record.stream = m_profile.GetString(kUrl, EntryName("URL", i, "Stream"), "");
    record.variant = m_profile.GetString(kUrl, EntryName("URL", i, "Variant"), "");
    return task;
}

void SettingsStore::LoadTasks(TaskAdder& adder)
{
    std::vector<StoredTask> unloaded;
    const std::int32_t count = m_profile.GetInt(kSettings, "MRU Num", 0);
    const std::vector<int> indices = StoredIndices(m_profile, kUrl, "URL", count);
    adder.ExpectRestored(static_cast<int>(indices.size()));
    for (int i : indices) {
        if (m_profile.GetString(kUrl, EntryName("URL", i, "Target"), "").empty()) {
            continue;
        }
        StoredTask task = ReadTask(i);
        if (!unloaded.empty()) {
            unloaded.push_back(std::move(task));  // keeps their order behind the first one
            continue;
        }
        if (adder.RestoreTask(task.target, task.size, task.resume, task.progress, task.record)) {
            continue;
        }
        // A URL that does not parse is dropped; a valid task the list has no
        // room for is kept for the next save.
        if (ParseUrl(task.target)) {
            unloaded.push_back(std::move(task));
        }
    }
    m_unloaded = std::make_shared<const std::vector<StoredTask>>(std::move(unloaded));
}

std::string SettingsStore::UnloadedTasksMessage() const
{
    if (m_unloaded->empty()) {
        return {};
    }
    return "The settings hold more tasks than one run of Dromo can list; " + std::to_string(m_unloaded->size()) +
           " of them are not in the list. They stay saved in the settings and come back at a later start, once "
           "finished or deleted tasks have made room.";
}

Status SettingsStore::LastSave() const
{
    return m_profile.LastFlush();
}

CategoryList SettingsStore::LoadCategories()
{
    CategoryList list;
    const std::int32_t count = m_profile.GetInt(kSettings, "Category Num", 0);
    for (int i : StoredIndices(m_profile, kCategory, "Cat", count)) {
        const std::string value = m_profile.GetString(kCategory, EntryName("Cat", i), "");
        if (!value.empty()) {
            list.push_back(ParseCategory(value));
        }
    }
    return list;
}

SiteList SettingsStore::LoadSites()
{
    SiteList list;
    const std::int32_t count = m_profile.GetInt(kSettings, "Site Num", 0);
    for (int i : StoredIndices(m_profile, kSite, "Site", count)) {
        SiteEntry entry;
        entry.host = m_profile.GetString(kSite, EntryName("Site", i, "Host"), "");
        entry.user = m_profile.GetString(kSite, EntryName("Site", i, "Username"), "");
        entry.password = ReadListPassword(kSite, EntryName("Site", i, "Password"), entry.keyringId);
        list.push_back(std::move(entry));
    }
    return list;
}

ProxyList SettingsStore::LoadProxies()
{
    ProxyList list;
    const std::int32_t count = m_profile.GetInt(kSettings, "Proxy Num", 0);
    for (int i : StoredIndices(m_profile, kProxy, "Proxy", count)) {
        ProxyEntry entry;
        entry.host = m_profile.GetString(kProxy, EntryName("Proxy", i, "Host"), "");
        entry.port = static_cast<std::int16_t>(m_profile.GetInt(kProxy, EntryName("Proxy", i, "Port"), 80));
        entry.user = m_profile.GetString(kProxy, EntryName("Proxy", i, "Username"), "");
        entry.password = ReadListPassword(kProxy, EntryName("Proxy", i, "Password"), entry.keyringId);
        list.push_back(std::move(entry));
    }
    return list;
}

void SettingsStore::WriteAll(const ViewSettings& settings, const TaskTable& table)
{
    // Only the copy of the tasks holds the task-table lock; the keyring and
    // the task section's text come after it, on the profile's writer thread
    // where the profile has one. The options and lists need no lock here:
    // this thread makes every change to them.
    std::shared_ptr<const TaskSnapshot> tasks = SnapshotTasks(table);
    const int count = static_cast<int>(tasks->size()) + UnloadedTaskCount();
    SaveOptionValues(settings.options);
    // The count after the list: a writer that takes the profile up between
    // the two (the one before this save's, still to begin) finds the new
    // list under the old count, which loads every task the file held before
    // (one added since waits for this save's own write); the new count over
    // the old list would drop the last tasks of it.
    ReplaceTasks(std::move(tasks));
    m_profile.WriteInt(kSettings, "MRU Num", count);
    SaveCategories(settings.categories);
    SaveSites(settings.sites);
    SaveProxies(settings.proxies);
}

namespace {

// How long a save took and how it ended, for the trace.
Status TraceSave(const char* how, int tasks, std::chrono::steady_clock::time_point started, Status saved)
{
    if (trace::On()) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        trace::Line("save", std::string(how) + " " + std::to_string(tasks) + " tasks in " + std::to_string(ms.count()) +
                                " ms" + (saved ? "" : ": " + saved.Reason()));
    }
    return saved;
}

}  // namespace

Status SettingsStore::Save(const ViewSettings& settings, const TaskTable& table)
{
    const auto started = std::chrono::steady_clock::now();
    WriteAll(settings, table);
    return TraceSave("wrote", table.Count(), started, m_profile.Flush());
}

Status SettingsStore::SaveSoon(const ViewSettings& settings, const TaskTable& table)
{
    const auto started = std::chrono::steady_clock::now();
    WriteAll(settings, table);
    return TraceSave("handed the writer", table.Count(), started, m_profile.FlushSoon());
}

void SettingsStore::SaveThen(const ViewSettings& settings, const TaskTable& table,
                             std::function<void(const Status&)> written)
{
    const auto started = std::chrono::steady_clock::now();
    WriteAll(settings, table);
    static_cast<void>(TraceSave("handed the writer for its callers", table.Count(), started, Status()));
    m_profile.FlushThen(std::move(written));
}

void SettingsStore::SaveOptions(const GlobalOptions& options, int taskCount)
{
    SaveOptionValues(options);
    m_profile.WriteInt(kSettings, "MRU Num", taskCount);
}

void SettingsStore::SaveOptionValues(const GlobalOptions& options)
{
    for (const IntOption& o : IntOptions()) {
        if (o.capture) {
            continue;  // the options sheet writes these the moment they change
        }
        const std::int32_t value = options.*o.field;
        m_profile.WriteInt(kSettings, o.name, o.flag ? (value != 0 ? 1 : 0) : value);
    }
    for (const TextOption& o : TextOptions()) {
        if (!o.capture) {
            m_profile.WriteString(kSettings, o.name, options.*o.field);
        }
    }
    WritePassword(kSettings, "Password", options.password, m_optionsKeyringId);
    KeyringSweep(kSettings);
    m_profile.WriteInt(kSettings, "Enable Authentication", 0);
}

Status SettingsStore::SaveCaptureOptions(const GlobalOptions& options)
{
    for (const IntOption& o : IntOptions()) {
        if (o.capture) {
            const std::int32_t value = options.*o.field;
            m_profile.WriteInt(kSettings, o.name, o.flag ? (value != 0 ? 1 : 0) : value);
        }
    }
    for (const TextOption& o : TextOptions()) {
        if (o.capture) {
            m_profile.WriteString(kSettings, o.name, options.*o.field);
        }
    }
    return m_profile.Flush();
}

void SettingsStore::WriteTask(Profile& out, PasswordKeyring* keyring, int i, const StoredTask& task)
{
    // "URL<i>\" once per task: a save of 10,000 tasks builds 240,000 names.
    const std::string prefix = EntryName("URL", i) + '\\';
    std::string name;
    auto named = [&prefix, &name](const char* suffix) -> const std::string& {
        name.assign(prefix).append(suffix);
        return name;
    };
    const TaskRecord& record = task.record;
    out.WriteString(kUrl, named("Target"), task.target);
    out.WriteString(kUrl, named("Size"), task.size);
    const bool wholeButNotDone = task.progress == kDoneProgress && !record.Is(TaskState::Done);
    out.WriteString(kUrl, named("Progress"), wholeButNotDone ? std::string(kWholeButNotDone) : task.progress);
    out.WriteString(kUrl, named("Resume"), task.resume);
    for (const TaskValue& v : kTaskValuesBeforeStatus) {
        out.WriteString(kUrl, named(v.suffix), record.*v.textField);
    }
    out.WriteInt(kUrl, named("Status"), record.state);
    WritePasswordTo(out, keyring, kUrl, named("Password"), record.password, record.keyringId);
    for (const TaskValue& v : kTaskValuesAfterPassword) {
        if (v.intField != nullptr) {
            out.WriteInt(kUrl, named(v.suffix), record.*v.intField);
        } else {
            out.WriteString(kUrl, named(v.suffix), record.*v.textField);
        }
    }
    // Beyond the classic values, and only where they say something, so a
    // list of finished downloads costs no more to keep.
    if (!record.failure.empty()) {
        out.WriteString(kUrl, named("Failure"), record.failure);
    }
    if (!record.verified.empty()) {
        out.WriteString(kUrl, named("Verified"), record.verified);
    }
    if (!record.stream.empty()) {
        out.WriteString(kUrl, named("Stream"), record.stream);
    }
    if (!record.variant.empty()) {
        out.WriteString(kUrl, named("Variant"), record.variant);
    }
}

std::shared_ptr<const SettingsStore::TaskSnapshot> SettingsStore::SnapshotTasks(const TaskTable& table)
{
    const TaskSnapshot& before = *m_snapshot;
    auto tasks = std::make_shared<TaskSnapshot>();
    std::size_t next = 0;  // where `before` may hold the row's task
    auto guard = table.Lock();
    tasks->reserve(static_cast<std::size_t>(table.Count()));
    table.ForEachRow([&](const TaskRecord& record, const TaskRow& row) {
        // Rows keep their order and new ones come last, so the task saved
        // before is found by walking on past the rows removed since.
        while (next < before.size() && before[next]->record.taskId < record.taskId) {
            ++next;
        }
        if (next < before.size() && StoresAs(*before[next], record, row)) {
            tasks->push_back(before[next++]);
            return;
        }
        auto task = std::make_shared<StoredTask>();
        task->target = row.texts[kColTarget];
        task->size = row.texts[kColSize];
        task->progress = row.texts[kColProgress];
        task->resume = row.texts[kColResume];
        task->record = StoredPart(record);
        tasks->push_back(std::move(task));
    });
    guard.unlock();
    m_snapshot = tasks;
    return tasks;
}

bool SettingsStore::StoresAs(const StoredTask& saved, const TaskRecord& record, const TaskRow& row)
{
    const TaskRecord& kept = saved.record;
    if (kept.taskId != record.taskId || kept.state != record.state || kept.password != record.password ||
        kept.keyringId != record.keyringId || kept.failure != record.failure || kept.verified != record.verified ||
        kept.stream != record.stream || kept.variant != record.variant || saved.target != row.texts[kColTarget] ||
        saved.size != row.texts[kColSize] || saved.progress != row.texts[kColProgress] ||
        saved.resume != row.texts[kColResume]) {
        return false;
    }
    for (const TaskValue& v : kTaskValuesBeforeStatus) {
        if (kept.*v.textField != record.*v.textField) {
            return false;
        }
    }
    for (const TaskValue& v : kTaskValuesAfterPassword) {
        if (v.intField != nullptr ? kept.*v.intField != record.*v.intField : kept.*v.textField != record.*v.textField) {
            return false;
        }
    }
    return true;
}

void SettingsStore::ReplaceTasks(std::shared_ptr<const TaskSnapshot> tasks)
{
    if (tasks->empty() && m_unloaded->empty()) {
        // No section to place: a later one goes where its first value puts
        // it, as it always went.
        m_profile.DeleteSection(kUrl);
        KeyringSweep(kUrl);
        return;
    }
    m_profile.ReplaceSection(kUrl,
                             [tasks = std::move(tasks), unloaded = m_unloaded, keyring = m_keyring](Profile& out) {
                                 const int count = static_cast<int>(tasks->size());
                                 for (int i = 0; i < count; ++i) {
                                     WriteTaskPart(out, keyring, i, (*tasks)[static_cast<std::size_t>(i)]);
                                 }
                                 for (std::size_t k = 0; k < unloaded->size(); ++k) {
                                     // Each shares the list's life, so its address names it.
                                     WriteTaskPart(out, keyring, count + static_cast<int>(k),
                                                   std::shared_ptr<const StoredTask>(unloaded, &(*unloaded)[k]));
                                 }
                                 if (keyring != nullptr) {
                                     keyring->Sweep(out, kUrl);
                                 }
                             });
}

void SettingsStore::WriteTaskPart(Profile& out, PasswordKeyring* keyring, int index,
                                  const std::shared_ptr<const StoredTask>& task)
{
    // A stored task never changes, so its values at the same index are the
    // same at every save; but a password the keyring may hold is asked for
    // again each time (it may have been locked or unlocked since), and its
    // sweep must hear of every entry a task still names.
    const TaskRecord& record = task->record;
    const bool keyringAsked =
        keyring != nullptr &&
        (record.password.empty() ? !record.keyringId.empty() : !EqualsIgnoreCase(record.password, kDefaultPassword));
    out.WritePart(keyringAsked ? nullptr : task,
                  [keyring, index, &task](Profile& part) { WriteTask(part, keyring, index, *task); });
}

void SettingsStore::SaveCategories(const CategoryList& categories)
{
    m_profile.DeleteSection(kCategory);
    m_profile.WriteInt(kSettings, "Category Num", static_cast<std::int32_t>(categories.size()));
    for (std::size_t i = 0; i < categories.size(); ++i) {
        const CategoryEntry& c = categories[i];
        m_profile.WriteString(kCategory, EntryName("Cat", static_cast<int>(i)),
                              c.name + ';' + c.extension + ';' + c.folder);
    }
}

void SettingsStore::SaveSites(const SiteList& sites)
{
    m_profile.DeleteSection(kSite);
    m_profile.WriteInt(kSettings, "Site Num", static_cast<std::int32_t>(sites.size()));
    for (std::size_t i = 0; i < sites.size(); ++i) {
        const int n = static_cast<int>(i);
        m_profile.WriteString(kSite, EntryName("Site", n, "Host"), sites[i].host);
        m_profile.WriteString(kSite, EntryName("Site", n, "Username"), sites[i].user);
        WriteListPassword(kSite, EntryName("Site", n, "Password"), sites[i].password, sites[i].keyringId);
    }
    KeyringSweep(kSite);
}

void SettingsStore::SaveProxies(const ProxyList& proxies)
{
    m_profile.DeleteSection(kProxy);
    m_profile.WriteInt(kSettings, "Proxy Num", static_cast<std::int32_t>(proxies.size()));
    for (std::size_t i = 0; i < proxies.size(); ++i) {
        const int n = static_cast<int>(i);
        m_profile.WriteString(kProxy, EntryName("Proxy", n, "Host"), proxies[i].host);
        m_profile.WriteInt(kProxy, EntryName("Proxy", n, "Port"), proxies[i].port);
        m_profile.WriteString(kProxy, EntryName("Proxy", n, "Username"), proxies[i].user);
        WriteListPassword(kProxy, EntryName("Proxy", n, "Password"), proxies[i].password, proxies[i].keyringId);
    }
    KeyringSweep(kProxy);
}

}  // namespace dromo
