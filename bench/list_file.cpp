// bench-list-file N: "Load Download List..." of a list of N tasks as the
// window writes them, then the save that puts them on disk, as the window's
// thread runs both. Prints the seconds of each.
// bench-list-file hostile: the same for the 66-byte list whose count and
// one section name claim 999,999,999 tasks.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include <QTemporaryDir>

#include "base/commands/taskadder.h"
#include "base/ports/workerstarter.h"
#include "base/storage/downloadlist.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "bench/benchsupport.h"
#include "platform/settingsprofile.h"

namespace {

class NoWorkers : public dromo::WorkerStarter {
public:
    bool StartWorkerIfAllBusy() override { return false; }
    bool StartWorkerIfBelowLimit() override { return false; }
};

double Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What "Save Download List..." writes for n tasks of a busy list.
std::string HonestList(int n)
{
    std::ostringstream out;
    out << "[Settings]\nnum=" << n << "\n\n";
    for (int i = 1; i <= n; ++i) {
        out << "[Task" << i << "]\nurl=http://mirror" << i % 17 << ".example/pub/dir" << i << "/file-" << i
            << ".tar.gz\nsaveas=/tmp/dl/file-" << i << ".tar.gz\nuser=anonymous\npass=dromo@example.com\n"
            << "idletime=120\nspeed=-1\nerrcount=6\ninterval=3\nautosave=64\nrefresh=200\nmode=0\nhttpver=1.1\n"
            << "connections=4\n\n";
    }
    return out.str();
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace dromo;
    const std::string what = argc == 2 ? argv[1] : "";
    const bool hostile = what == "hostile";
    const int n = hostile ? 0 : std::atoi(what.c_str());
    if (!hostile && n <= 0) {
        std::fprintf(stderr, "usage: bench-list-file N|hostile\n");
        return 2;
    }
    const std::string text =
        hostile ? "[Settings]\nnum=999999999\n\n[Task999999999]\nurl=http://h.example/a.bin\n" : HonestList(n);
    const PlatformDefaults platform{"/tmp/dl/", "/usr/share/dromo/"};
    bench::Quiet quiet;
    NoWorkers workers;
    ViewSettings settings;
    settings.options = GlobalOptions::Defaults(platform);
    TaskTable table(&quiet);
    TaskAdder adder(table, settings, workers, quiet, quiet, quiet);
    QTemporaryDir folder;
    SettingsProfile profile(folder.filePath(QStringLiteral("Dromo.ini")));
    SettingsStore store(profile, platform);

    auto start = std::chrono::steady_clock::now();
    const int added = DownloadList::Load(text, settings.options, settings.proxies, table, adder);
    const double load = Since(start);
    if (added != (hostile ? 1 : n)) {
        std::fprintf(stderr, "added %d tasks\n", added);
        return 1;
    }
    start = std::chrono::steady_clock::now();
    if (!store.Save(settings, table)) {
        std::fprintf(stderr, "save failed\n");
        return 1;
    }
    std::printf("%.4f %.4f\n", load, Since(start));
    return 0;
}
