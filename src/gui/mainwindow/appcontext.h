#pragma once

namespace dromo {

class AddressCheck;
class AddressHistory;
class AutoSaver;
class Completion;
class HistoryPage;
class MetalinkFetch;
class MetalinkReader;
class Messages;
class Profile;
class RefreshTimer;
class SettingsStore;
class Shell;
class Sound;
class SpeedSamples;
class TaskAdder;
class TaskCommands;
class TaskTable;
class WorkerPool;
struct ViewSettings;
struct WorkerState;

// The program's objects that the window drives, built by the application
// in its start-up order.
struct AppContext {
    Profile& profile;
    SettingsStore& store;
    ViewSettings& settings;
    TaskTable& table;
    WorkerState& state;
    WorkerPool& pool;
    TaskCommands& commands;
    TaskAdder& adder;
    AddressHistory& addresses;
    HistoryPage& history;
    Completion& completion;
    AutoSaver& autoSaver;
    RefreshTimer& refresh;
    SpeedSamples& samples;
    Shell& shell;
    Messages& messages;
    Sound& sound;
    const MetalinkReader& metalinks;
    MetalinkFetch& metalinkFetch;
    AddressCheck& addressCheck;
};

}  // namespace dromo
