#pragma once

#include <cstdint>
#include <string>

namespace dromo {

struct GlobalOptions;
struct TaskRecord;

// The Protocol page's fields, shared by the task sheet and the options sheet.
struct ProtocolFields {
    std::int32_t pasvMode = 0;
    std::string httpVersion = "2";
    std::string userAgent = "Dromo/1.03 [en]";
};

// The Schedule page's fields, shared by both sheets.
struct ScheduleFields {
    std::int32_t scheduled = 0;
    std::string startAt = "20:00";
    std::int32_t untilFinished = 1;
    std::int32_t duration = 30;
};

// The speed control of both Connection pages: "Unlimited" or a limit in KB/s.
struct SpeedFields {
    bool unlimited = false;
    std::int32_t limit = 1024;

    // -1 stored means "Unlimited"; the slider then starts at 1024.
    static SpeedFields FromStored(std::int32_t stored);
    std::int32_t Stored() const { return unlimited ? -1 : limit; }
};

// Every field of the task property sheet's pages. The caller fills them
// before the sheet is shown and reads them after OK; a page never opened
// hands back what it was given.
struct TaskPageValues {
    // URL page (or the import File page: url and saveAs as the file path).
    std::string url;
    std::string saveAs;
    std::string targetFolder;
    // "Add URL" only: the URL field may hold a pattern or several lines.
    bool manyUrls = false;
    // Identity page.
    std::int32_t useLogin = 0;
    std::string user;
    std::string password;
    // Connection and Exception pages.
    std::int32_t idleTime = 30;
    std::int32_t connections = 4;
    SpeedFields speed;
    std::int32_t errorCount = 5;
    std::int32_t retryInterval = 1;
    // Proxy page: an index into the proxy list, -1 for none.
    std::int32_t useProxy = 0;
    std::int32_t proxyChoice = -1;
    ProtocolFields protocol;
    ScheduleFields schedule;
    // Misc page; refresh in tenths of a second.
    std::string autoSave = "64";
    std::int32_t refreshTenths = 2;
    // URL page: the expected digests as typed ("sha-256=HEX", or the value
    // sha256sum prints); "" for none.
    std::string checksum;
    // URL page: which variant of a video stream to record, as typed ("" or
    // "best" for the highest; see VariantChoice).
    std::string variant;
    // Mirrors page (read-only): the task's mirrors in MirrorList's stored
    // form; "" for a task without any, which shows no such page.
    std::string mirrors;

    // A new task ("Add URL", import): every page from the options, the URL
    // page's folder and "Save as" from "Save to".
    static TaskPageValues FromOptions(const GlobalOptions& options, const std::string& url);
    // "Task Properties": from the task, the URL composed from its parts and
    // the folder from "Save to".
    static TaskPageValues FromRecord(const TaskRecord& record, const GlobalOptions& options);
    // Sets every field the pages correspond to, saveAs included.
    void ApplyTo(TaskRecord& record) const;
};

// "ftp://", "http://" or "https://", the host, ":port" when not the
// protocol's default, then the stored path.
std::string ComposeUrl(const TaskRecord& record);

}  // namespace dromo
