#pragma once

#include "base/values/categorylist.h"
#include "base/values/globaloptions.h"
#include "base/values/proxylist.h"
#include "base/values/sitelist.h"

namespace dromo {

// The options and lists the main view owns for the whole run. The
// task-table lock guards them: every change holds it, and so does every read
// off the window's thread (workers, the progress handler, the completion
// rules). The window, which makes every change but one, reads them without
// it; that one is the connection state, which workers refresh before each
// transfer, and the window reads it under the lock too.
struct ViewSettings {
    GlobalOptions options;
    CategoryList categories;
    SiteList sites;
    ProxyList proxies;
};

}  // namespace dromo
