#pragma once

#include <optional>

#include "base/values/categorylist.h"
#include "base/values/globaloptions.h"
#include "base/values/proxylist.h"
#include "base/values/sitelist.h"

namespace dromo {

class SettingsStore;
class TaskTable;
class WorkerStarter;
struct ViewSettings;

// What the options sheet hands back after OK: its copy of the options and
// each list whose page was opened and changed.
struct OptionsSheetResult {
    GlobalOptions options;
    std::optional<CategoryList> categories;
    std::optional<SiteList> sites;
    std::optional<ProxyList> proxies;
};

// The options sheet's settings copied from one set of options to another;
// the others (window places, completion toggles, the network state) stay.
void CopySheetSettings(const GlobalOptions& from, GlobalOptions& to);

// After OK of the options sheet, except repainting the task list: the
// settings and rebuilt lists taken over under the task-table lock, the five
// capture values written to the profile at once, the "Save to" folder (and,
// with categories on, each rebuilt category's folder) made one level deep,
// and, when "Max Thread Number" grew, one more worker per queued task while
// the start rule agrees.
void ApplyOptionsSheet(const OptionsSheetResult& result, ViewSettings& live, TaskTable& table, SettingsStore& store,
                       WorkerStarter& starter);

}  // namespace dromo
