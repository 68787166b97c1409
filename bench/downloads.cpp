// bench-downloads URL_PREFIX OUTDIR COUNT THREADS [CONNECTIONS|defaults]:
// adds COUNT tasks URL_PREFIX0 .. URL_PREFIX(COUNT-1), runs them on THREADS
// workers through CurlEngine, and prints the seconds until all are Done.
// With a number of connections per task the auto-save step is 1 MiB;
// "defaults" leaves both as the program ships them.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "base/download/downloadcore.h"
#include "base/tasks/tasktable.h"
#include "bench/benchsupport.h"
#include "engine/curlengine.h"
#include "platform/systemclock.h"

int main(int argc, char** argv)
{
    using namespace dromo;
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: bench-downloads URL_PREFIX OUTDIR COUNT THREADS [CONNECTIONS|defaults]\n");
        return 2;
    }
    const std::string prefix = argv[1];
    const int count = std::atoi(argv[3]);
    bench::Quiet quiet;
    TaskTable table(&quiet);
    SystemClock clock;
    CurlEngineFactory engines;
    DownloadCore core(table, DownloadPorts{clock, quiet, quiet, quiet, engines, quiet}, quiet, quiet);
    ViewSettings& settings = core.settings;
    settings.options.saveTo = std::string(argv[2]) + "/";
    settings.options.maxThreadNumber = std::atoi(argv[4]);
    if (argc < 6 || std::string(argv[5]) != "defaults") {
        settings.options.autoSave = "1024";
    }
    if (argc == 6 && std::string(argv[5]) != "defaults") {
        settings.options.connectionsPerTask = std::atoi(argv[5]);
    }
    TaskAdder& adder = core.adder;

    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        if (adder.AddTask(prefix + std::to_string(i), "") != AddResult::Added) {
            std::fprintf(stderr, "could not add: %s\n", quiet.last.c_str());
            return 1;
        }
    }
    for (;;) {
        {
            auto guard = table.Lock();
            const int done = table.CountIn(TaskState::Done);
            if (done == count) {
                break;
            }
            if (table.CountIn(TaskState::Paused) > 0) {
                std::fprintf(stderr, "a download failed\n");
                return 1;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f\n", seconds);
    core.pool.StopAllWorkers(core.commands, nullptr);
    return 0;
}
