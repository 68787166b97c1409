// The download list file (".lst"), as another run or another program wrote
// it. Whatever the file holds, loading it adds tasks one by one without
// harm, no value read holds a line break and no task's URL a control
// character, and the tasks it added, written out as a list, load again as
// the same list: a list Dromo writes is one Dromo reads back unchanged.
//
// The bytes are also read as tasks to write, whatever their values: each
// task is written with every value coming back exactly, or (a line break in
// one of its values) left out, and nothing it holds becomes a key or a
// section of its own.

#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "base/storage/downloadlist.h"
#include "base/text/privateprofile.h"
#include "base/text/textutil.h"
#include "tests/base/fakes/rig.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tests/fuzz/fuzzinput.h"

namespace dromo::fuzz {
namespace {

// The list's tasks stay queued: no worker runs.
struct Lists {
    test::Rig rig;
    Lists() { rig.options.maxThreadNumber = 0; }

    int Load(const std::string& text)
    {
        return DownloadList::Load(text, rig.options, rig.settings.proxies, rig.table, rig.adder);
    }
    std::string WriteAll() const
    {
        std::vector<int> rows(static_cast<std::size_t>(rig.table.Count()));
        std::iota(rows.begin(), rows.end(), 0);
        return DownloadList::Write(rig.table, rows, rig.settings.proxies).text;
    }
};

void CheckReader(const std::string& text)
{
    const PrivateProfile file(text);
    for (const std::string& section : file.Sections()) {
        for (const char* key : {"num", "url", "saveas", "speed", "proxyport", "pass", "mirrors"}) {
            const std::string value = file.GetString(section, key, "");
            FUZZ_CHECK(value.size() <= PrivateProfile::kValueLimit, Shown(text));
            FUZZ_CHECK(file.GetLongString(section, key, "").find_first_of("\r\n") == std::string::npos,
                       "[" + section + "] " + key + " of " + Shown(text) + " holds a line break");
            // A missing key gives the default back, whichever it is.
            const bool held = file.GetString(section, key, "a") == file.GetString(section, key, "b");
            FUZZ_CHECK(held || value.empty(), Shown(text));
            static_cast<void>(file.GetInt(section, key, 0));
        }
    }
}

// One task's texts as the bytes give them.
struct Written {
    std::string url;
    TaskRecord record;
    ProxyEntry proxy;
    // Whether a value the task's section holds has a line break: the
    // proxy's only when the task uses it, the start only when scheduled.
    bool Breaks() const
    {
        const TaskRecord& r = record;
        auto breaks = [](const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; };
        const std::string* texts[] = {&url,           &r.saveAs,   &r.user,    &r.password, &r.autoSave,
                                      &r.httpVersion, &r.checksum, &r.mirrors, &r.pieces};
        for (const std::string* text : texts) {
            if (breaks(*text)) {
                return true;
            }
        }
        return (r.scheduled && breaks(r.startAt)) ||
               (r.useProxy && (breaks(proxy.host) || breaks(proxy.user) || breaks(proxy.password)));
    }
};

Written TaskFrom(FuzzInput& in)
{
    Written w;
    TaskRecord& r = w.record;
    w.url = in.Text(80);
    r.saveAs = in.Text(80);
    r.user = in.Text(40);
    r.password = in.Text(40);
    r.autoSave = in.Text(10);
    r.httpVersion = in.Text(10);
    r.checksum = in.Text(40);
    r.mirrors = in.Text(80);
    r.pieces = in.Text(80);
    r.startAt = in.Text(10);
    const std::uint8_t flags = in.Byte();
    r.scheduled = flags & 1;
    r.untilFinished = (flags >> 1) & 1;
    r.useProxy = (flags >> 2) & 1;
    w.proxy = ProxyEntry{in.Text(40), static_cast<std::int16_t>(in.Below(65536)), in.Text(20), in.Text(20)};
    r.speedLimit = static_cast<std::int32_t>(in.Below(100000)) - 1;
    r.duration = static_cast<std::int32_t>(in.Below(1000));
    return w;
}

void CheckWriter(FuzzInput in)
{
    test::Rig rig;
    std::vector<Written> tasks;
    for (int n = 0; n < 4 && !in.Empty(); ++n) {
        tasks.push_back(TaskFrom(in));
        Written& w = tasks.back();
        w.record.proxyIndex = static_cast<std::int32_t>(rig.settings.proxies.size());
        rig.settings.proxies.push_back(w.proxy);
        TaskRow row;
        row.texts[kColTarget] = w.url;
        FUZZ_CHECK(rig.table.Append(w.record, row).has_value(), "the table took no task");
    }
    std::vector<int> rows(tasks.size());
    std::iota(rows.begin(), rows.end(), 0);
    const DownloadList::ListText list = DownloadList::Write(rig.table, rows, rig.settings.proxies);
    const PrivateProfile file(list.text);
    std::vector<int> leftOut;
    int n = 0;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        const Written& w = tasks[i];
        if (w.Breaks()) {
            leftOut.push_back(static_cast<int>(i));
            continue;
        }
        const std::string section = "Task" + std::to_string(++n);
        const TaskRecord& r = w.record;
        auto same = [&](const char* key, const std::string& value) {
            const std::string back = file.GetLongString(section, key, "(none)");
            FUZZ_CHECK(back == value, "[" + section + "] " + key + " = " + Shown(value) + " reads back as " +
                                          Shown(back) + " from " + Shown(list.text));
        };
        same("url", w.url);
        same("saveas", r.saveAs);
        same("user", r.user);
        same("pass", r.password);
        same("autosave", r.autoSave);
        same("httpver", r.httpVersion);
        same("speed", std::to_string(r.speedLimit));
        same("checksum", r.checksum.empty() ? "(none)" : r.checksum);
        same("mirrors", r.mirrors.empty() ? "(none)" : r.mirrors);
        same("pieces", r.pieces.empty() ? "(none)" : r.pieces);
        same("startAt", r.scheduled ? r.startAt : "(none)");
        same("duration", r.scheduled && !r.untilFinished ? std::to_string(r.duration) : "(none)");
        same("proxy", r.useProxy ? w.proxy.host : "(none)");
        same("proxyuser", r.useProxy ? w.proxy.user : "(none)");
        same("proxypwd", r.useProxy ? w.proxy.password : "(none)");
    }
    FUZZ_CHECK(list.leftOut == leftOut, "left out " + std::to_string(list.leftOut.size()) + " of " +
                                            std::to_string(tasks.size()) + " tasks from " + Shown(list.text));
    FUZZ_CHECK(file.GetInt("Settings", "num", -1) == n, Shown(list.text));
    FUZZ_CHECK(file.Sections().size() == static_cast<std::size_t>(n) + 1,
               "more sections than tasks in " + Shown(list.text));
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo::fuzz;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckReader(text);

    CheckWriter(FuzzInput(data, size));

    Lists first;
    const int added = first.Load(text);
    for (int row = 0; row < first.rig.table.Count(); ++row) {
        FUZZ_CHECK(!dromo::HoldsControlCharacter(first.rig.table.RowCopy(row).texts[dromo::kColTarget]), Shown(text));
    }
    FUZZ_CHECK(added == first.rig.table.Count(), Shown(text) + " added " + std::to_string(added) +
                                                     " tasks but the list holds " +
                                                     std::to_string(first.rig.table.Count()));
    const std::string written = first.WriteAll();

    Lists second;
    const int again = second.Load(written);
    const std::string rewritten = second.WriteAll();
    FUZZ_CHECK(again == added && rewritten == written, "the list " + Shown(text) + " added " + std::to_string(added) +
                                                           " tasks and was written as " + Shown(written) +
                                                           ", which added " + std::to_string(again) +
                                                           " and was written again; " + Difference(written, rewritten));
    return 0;
}
