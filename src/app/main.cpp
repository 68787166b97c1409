// Dromo's start-up. Until the main window exists this runs the start-up
// steps that need no window: the instance check, the shared worker state,
// loading the profile with its saved tasks, and the save at exit. It then
// reports what it loaded.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "connectednetwork.h"
#include "core/settingsstore.h"
#include "core/startup.h"
#include "core/tasklistobserver.h"
#include "core/tasktable.h"
#include "download/workerstarter.h"
#include "download/workerstate.h"
#include "instancelock.h"
#include "mainwindow/messages.h"
#include "mainwindow/shell.h"
#include "mainwindow/taskadder.h"
#include "platformpaths.h"
#include "settingsprofile.h"
#include "systemmemory.h"

namespace {

const char* StateName(std::int32_t state)
{
    switch (static_cast<dromo::TaskState>(state)) {
    case dromo::TaskState::Queued: return "queued";
    case dromo::TaskState::Paused: return "paused";
    case dromo::TaskState::Running: return "running";
    case dromo::TaskState::Done: return "done";
    case dromo::TaskState::Error: return "error";
    case dromo::TaskState::Scheduled: return "scheduled";
    }
    return "unknown";
}

// Status texts go to the terminal while there is no status bar.
class ConsoleObserver : public dromo::TaskListObserver {
public:
    void RowInserted(int) override {}
    void RowRemoved(int) override {}
    void RowChanged(int, dromo::RowParts) override {}
    void TrayStateChanged(const dromo::TrayState&) override {}
    void StatusTexts(const std::string&, const std::string& running, const std::string& queued) override
    {
        m_last = running + ", " + queued;
    }
    std::string m_last;
};

// Without transfer workers in this build, queued tasks stay queued; the pool
// counts how often a worker would have been asked for.
class IdleWorkerPool : public dromo::WorkerStarter {
public:
    bool ApplyRuleA() override { ++m_requests; return false; }
    bool ApplyRuleB() override { ++m_requests; return false; }
    int m_requests = 0;
};

class ConsoleMessages : public dromo::Messages {
public:
    void Warning(const std::string& text) override { std::cerr << text << '\n'; }
    bool AskOkCancel(const std::string& text) override
    {
        std::cerr << text << '\n';
        return false;
    }
};

// Restoring tasks plays no sound.
class NoSound : public dromo::Sound {
public:
    void Play(const std::string&) override {}
};

void PrintHelp()
{
    std::cout << "Usage: dromo [--automation | --embedding] [--help]\n\n"
                 "Dromo is a download manager for HTTP, HTTPS and FTP.\n"
                 "This build runs the start-up without a window: it checks that no other\n"
                 "Dromo runs, loads the profile and its saved tasks, saves the profile back\n"
                 "and prints what it found.\n\n"
                 "  --automation, --embedding  started by D-Bus activation (window minimised)\n"
                 "  --help                     show this text\n";
}

}  // namespace

int main(int argc, char** argv)
{
    const dromo::StartupOptions args =
        dromo::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (args.help) {
        PrintHelp();
        return 0;
    }
    if (!args.error.empty()) {
        std::cerr << "dromo: " << args.error << " (see dromo --help)\n";
        return 2;
    }

    dromo::SettingsProfile profile;
    dromo::InstanceLock instance;
    const bool otherRunning = !instance.TryAcquire();
    if (!dromo::MayStart(profile.GetInt("Settings", "Allow Multi Instance", 0), otherRunning)) {
        std::cerr << dromo::kAlreadyRunningMessage << '\n';
        return 1;
    }

    dromo::WorkerState workers;  // stop flag clear, no workers, the end event signalled
    ConsoleObserver observer;
    IdleWorkerPool pool;
    dromo::TaskTable table(&observer);
    dromo::ViewSettings settings;
    dromo::SettingsStore store(profile, dromo::PlatformPaths::Defaults());
    ConsoleMessages messages;
    NoSound sound;
    dromo::TaskAdder adder(table, settings, pool, observer, messages, sound);
    dromo::ConnectedNetwork network;
    store.Load(settings, adder, network);

    std::cout << dromo::kAppTitle << '\n'
              << "Memory: " << dromo::FormatMemoryText(dromo::PhysicalMemoryBytes()) << '\n'
              << "Profile: " << profile.FileName().toStdString() << '\n'
              << "Save to: " << settings.options.saveTo << '\n'
              << "Tasks: " << table.Count() << '\n';
    for (int row = 0; row < table.Count(); ++row) {
        const auto record = table.CopyOut(row);
        std::cout << "  [" << StateName(record->state) << "] "
                  << table.RowCopy(row).texts[dromo::kColTarget] << " -> " << record->saveAs << '\n';
    }
    std::cout << "Categories: " << settings.categories.size() << ", sites: " << settings.sites.size()
              << ", proxies: " << settings.proxies.size() << '\n';

    workers.stop = true;
    if (!store.Save(settings, table)) {
        std::cerr << "dromo: could not write the profile " << profile.FileName().toStdString() << '\n';
        return 1;
    }
    return 0;
}
