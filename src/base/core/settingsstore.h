#pragma once

#include <string>

#include "core/categorylist.h"
#include "core/globaloptions.h"
#include "core/proxylist.h"
#include "core/sitelist.h"

namespace dromo {

class Network;
class Profile;
class TaskAdder;
class TaskTable;

// The options and lists the main view owns for the whole run.
struct ViewSettings {
    GlobalOptions options;
    CategoryList categories;
    SiteList sites;
    ProxyList proxies;
};

// Reads and writes the options, the three lists and the saved task table in
// the profile.
//
// Reading never trusts the stored counts alone: only entries that are
// actually stored (and whose index is below the count) are visited, so a
// count such as 2147483647 costs nothing.
class SettingsStore {
public:
    SettingsStore(Profile& profile, PlatformDefaults platform);

    // The options, the lists and the network state first, the saved tasks
    // last (through the adder, which may start workers that read the rest).
    void Load(ViewSettings& settings, TaskAdder& adder, Network& network);
    // Writes everything back; false when the profile could not be written.
    bool Save(const ViewSettings& settings, const TaskTable& table);

    GlobalOptions LoadOptions();
    void LoadTasks(TaskAdder& adder);
    CategoryList LoadCategories();
    SiteList LoadSites();
    ProxyList LoadProxies();

    void SaveOptions(const GlobalOptions& options, int taskCount);
    // The browser capture switches, written and flushed at once: the capture
    // host reads them from the profile while Dromo runs.
    bool SaveCaptureOptions(const GlobalOptions& options);
    void SaveTasks(const TaskTable& table);
    void SaveCategories(const CategoryList& categories);
    void SaveSites(const SiteList& sites);
    void SaveProxies(const ProxyList& proxies);

private:
    std::string ReadPassword(const std::string& section, const std::string& name);
    void WritePassword(const std::string& section, const std::string& name,
                       const std::string& password);

    Profile& m_profile;
    PlatformDefaults m_platform;
};

}  // namespace dromo
