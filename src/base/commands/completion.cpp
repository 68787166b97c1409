#include "base/commands/completion.h"

#include "base/ports/messages.h"
#include "base/ports/network.h"
#include "base/ports/power.h"
#include "base/ports/shell.h"
#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/values/globaloptions.h"

namespace dromo {

std::vector<std::string> SplitCommandLine(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
            word += '"';
            inWord = true;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

Completion::Completion(TaskTable& table, GlobalOptions& options, WorkerState& workers, Network& network, Power& power,
                       Shell& shell, Messages& messages, Countdown& countdown, std::function<void()> exitProgram)
    : m_table(table), m_options(options), m_workers(workers), m_network(network), m_power(power), m_shell(shell),
      m_messages(messages), m_countdown(countdown), m_exit(std::move(exitProgram))
{
}

std::string Completion::CountdownMessage() const
{
    bool shutDown = false;
    {
        // A worker asks for the countdown while the window may toggle the option.
        auto guard = m_table.Lock();
        shutDown = m_options.Get(guard).shutDownIfDone != 0;
    }
    const std::string start =
        shutDown ? "Your computer will be shut down " : "Your Internet connection will be hang up ";
    return start + "in 15 seconds.";
}

void Completion::CompletionCheck()
{
    {
        auto guard = m_table.Lock();
        if (m_workers.Counts(guard).activeCount != 0) {
            return;
        }
        // From the table's counts: a record in no state is unfinished too.
        const int unfinished = m_table.Count() - m_table.CountIn(TaskState::Done) - m_table.CountIn(TaskState::Paused);
        if (unfinished > 0) {
            return;
        }
        const GlobalOptions& options = m_options.Get(guard);
        if (!options.hangupIfDone && !options.shutDownIfDone) {
            return;
        }
    }
    // One countdown at a time: several tasks finishing together ask once.
    if (m_counting.exchange(true)) {
        return;
    }
    m_countdown.Start(CountdownMessage(), [this](bool reachedZero) { CountdownEnded(reachedZero); });
}

void Completion::CountdownEnded(bool reachedZero)
{
    m_counting = false;
    if (!reachedZero) {
        OfferToSwitchOff();
        return;
    }
    RefreshConnection();
    bool hangUp = false;
    bool shutDown = false;
    {
        // The connection state is written by workers too (before every
        // transfer), so the window reads it under the lock like they do.
        auto guard = m_table.Lock();
        const GlobalOptions& options = m_options.Get(guard);
        hangUp = options.hangupIfDone && options.modemConnection;
        shutDown = options.shutDownIfDone != 0;
    }
    if (hangUp) {
        m_network.HangUp();
    }
    if (shutDown) {
        // A refusal is not reported; the program still exits, as asked.
        m_power.PowerOff();
        if (m_exit) {
            m_exit();
        }
    }
}

// A cancelled countdown leaves the options on, and the next finished
// download would count down again: the user who cancelled is asked whether
// that is what he wants.
void Completion::OfferToSwitchOff()
{
    bool hangUp = false;
    bool shutDown = false;
    {
        auto guard = m_table.Lock();
        const GlobalOptions& options = m_options.Get(guard);
        hangUp = options.hangupIfDone != 0;
        shutDown = options.shutDownIfDone != 0;
    }
    const char* question = SwitchOffQuestion(shutDown, hangUp);
    if (question == nullptr || !m_messages.AskOkCancel(question, Ask::Question)) {
        return;
    }
    auto guard = m_table.Lock();
    GlobalOptions& options = m_options.Get(guard);
    options.hangupIfDone = 0;
    options.shutDownIfDone = 0;
}

const char* Completion::SwitchOffQuestion(bool shutDown, bool hangUp)
{
    if (shutDown && hangUp) {
        return "The countdown was cancelled. Switch off \"Shut Down Computer When Done\" and \"Hang up When "
               "Done\" too?";
    }
    if (shutDown) {
        return "The countdown was cancelled. Switch off \"Shut Down Computer When Done\" too?";
    }
    if (hangUp) {
        return "The countdown was cancelled. Switch off \"Hang up When Done\" too?";
    }
    return nullptr;
}

void Completion::RefreshConnection()
{
    const ConnectionState state = m_network.GetConnectedState();
    auto guard = m_table.Lock();  // workers read the options under it
    GlobalOptions& options = m_options.Get(guard);
    options.connected = state.connected;
    options.modemConnection = state.modem;
}

void Completion::RedialIfNeeded()
{
    RefreshConnection();
    bool dial = false;
    {
        auto guard = m_table.Lock();
        const GlobalOptions& options = m_options.Get(guard);
        dial = options.modemConnection && !options.connected && options.redialIfDisconnected;
    }
    if (dial) {
        m_network.Dial();
    }
}

void Completion::OnFileFinished(std::function<void(const std::string& path, bool alreadyThere)> listener)
{
    std::lock_guard lock(m_finishedMutex);
    m_finished = std::move(listener);
}

void Completion::OnTaskFailed(std::function<void(const std::string& path, const std::string& reason)> listener)
{
    std::lock_guard lock(m_finishedMutex);
    m_failed = std::move(listener);
}

void Completion::TaskFailed(const std::string& path, const std::string& reason)
{
    std::lock_guard lock(m_finishedMutex);
    if (m_failed) {
        m_failed(path, reason);
    }
}

void Completion::FileAlreadyThere(const std::string& path)
{
    // Nothing new came: the scanner saw the file when it was downloaded.
    std::lock_guard lock(m_finishedMutex);
    if (m_finished) {
        m_finished(path, true);
    }
}

void Completion::ScanFile(const std::string& path)
{
    {
        std::lock_guard lock(m_finishedMutex);
        if (m_finished) {
            m_finished(path, false);
        }
    }
    std::string scanner;
    // The file is one argument of its own, so blanks or shell characters in
    // its name can do no harm; the parameters follow it, split into words.
    std::vector<std::string> arguments{path};
    {
        auto guard = m_table.Lock();  // workers read the options under it
        const GlobalOptions& options = m_options.Get(guard);
        if (!options.enableVirusCheck) {
            return;
        }
        scanner = options.virusScanner;
        for (std::string& word : SplitCommandLine(options.virusScannerParameters)) {
            arguments.push_back(std::move(word));
        }
    }
    // Started with the lock released: the program may be slow to start.
    if (!m_shell.Start(scanner, arguments)) {
        m_messages.Warning("Fail to start virus scanner.");
    }
}

}  // namespace dromo
