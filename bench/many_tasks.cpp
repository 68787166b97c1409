// bench-many-tasks save PROFILE N: AddTask of N URLs, then SaveSettings
// through the real INI profile at PROFILE, then the auto-save's save that
// leaves the disk to the writer thread, after 1% of the tasks changed (as
// between two ticks of a busy list), and the first auto-save of a run,
// which copies every task.
// bench-many-tasks load PROFILE N: the profile read and parsed, then
// LoadSettings of it, as at the next start. Each prints the seconds of its steps and its peak resident
// memory in MB.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/commands/taskadder.h"
#include "base/ports/network.h"
#include "base/ports/workerstarter.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "bench/benchsupport.h"
#include "platform/connectednetwork.h"
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

double PeakMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace dromo;
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "save" && mode != "load") {
        std::fprintf(stderr, "usage: bench-many-tasks save|load PROFILE N\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[2]);
    const int n = std::atoi(argv[3]);
    const PlatformDefaults platform{"/tmp/dl/", "/usr/share/dromo/"};
    bench::Quiet quiet;
    NoWorkers workers;
    ViewSettings settings;
    settings.options = GlobalOptions::Defaults(platform);
    TaskTable table(&quiet);
    TaskAdder adder(table, settings, workers, quiet, quiet, quiet);
    // A load counts from the file's first byte read, as a start does.
    const auto opened = std::chrono::steady_clock::now();
    SettingsProfile profile(path);
    const double read = Since(opened);
    SettingsStore store(profile, platform);

    if (mode == "save") {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < n; ++i) {
            adder.AddTask("http://mirror" + std::to_string(i % 17) + ".example/pub/dir" + std::to_string(i) +
                              "/file-" + std::to_string(i) + ".tar.gz",
                          "");
        }
        const double add = Since(start);
        const int added = table.Count();
        start = std::chrono::steady_clock::now();
        if (!store.Save(settings, table)) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        const double save = Since(start);
        // The auto-save's way: the window's thread copies what changed and
        // hands it over; the writer thread makes the text and does the disk
        // part.
        for (int row = 0; row < added; row += 100) {
            table.SetText(row, kColProgress, "50%");
        }
        start = std::chrono::steady_clock::now();
        static_cast<void>(store.SaveSoon(settings, table));
        const double soon = Since(start);
        // Before the second store below, whose copy no run of the program
        // holds beside the first.
        const double peak = PeakMB();
        SettingsStore firstOfRun(profile, platform);
        start = std::chrono::steady_clock::now();
        static_cast<void>(firstOfRun.SaveSoon(settings, table));
        const double first = Since(start);
        std::printf("%.3f %.3f %.1f %.3f %d %.3f\n", add, save, peak, soon, added, first);
        return 0;
    }
    // The save run lists at most as many as one run can hold.
    const int stored = profile.GetInt("Settings", "MRU Num", 0);
    auto start = std::chrono::steady_clock::now();
    ConnectedNetwork network;
    store.Load(settings, adder, network);
    const double load = read + Since(start);
    // A list longer than one run can hold keeps the rest unlisted, saved.
    if (table.Count() + store.UnloadedTaskCount() != stored || stored > n) {
        std::fprintf(stderr, "loaded %d of %d tasks\n", table.Count() + store.UnloadedTaskCount(), stored);
        return 1;
    }
    std::printf("%.3f %.1f %d\n", load, PeakMB(), table.Count());
    return 0;
}
