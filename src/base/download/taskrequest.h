#pragma once

#include <string>

#include "base/text/parseurl.h"
#include "base/text/transferrequest.h"
#include "base/values/globaloptions.h"
#include "base/values/proxylist.h"
#include "base/values/taskrecord.h"
#include "base/values/transfersettings.h"

namespace dromo {

// What a worker hands its engine for a task it takes up: the settings of
// the task's transfers (its own values, the options "Enable Cookie" and
// "Require TLS for FTP", and the proxy of the list it names: none when it
// names none, or one the list does not hold).
TransferSettings SettingsFor(const TaskRecord& task, const GlobalOptions& options, const ProxyList& proxies);

// The request of the task's transfers, with the login chosen for it. The
// stored forms are read here once: mirrors and piece digests only help, so
// a stored value that cannot be read leaves the file to the task's URL and
// its whole-file digest; a checksum that cannot be read fails the transfer.
TransferRequest RequestFor(const TaskRecord& task, const std::string& user, const std::string& password);

// A request for the URL's file into `saveAs`, with nothing else: no login,
// no browser's details, the target's own name kept.
TransferRequest RequestAt(const ParsedUrl& url, const std::string& saveAs);

// True when nobody chose the task's file name (it is the one its URL gives,
// or a numbered copy of it, and no browser handed it over): then a better
// name from the server may replace it.
bool ServerNameAllowed(const TaskRecord& task);

}  // namespace dromo
