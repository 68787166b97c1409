// URLs and downloads from outside, taken into the task list: a browser's
// download, another start's command line, a call on the bus, a drop. Each
// caller hears success only once its task is on disk, and the saves are
// shared by every hand-over that comes near the same time.
#include "gui/mainwindow/handoverdesk.h"

#include <algorithm>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTimer>

#include "base/commands/addresshistory.h"
#include "base/commands/samefile.h"
#include "base/commands/taskcommands.h"
#include "base/download/addresscheck.h"
#include "base/download/metalinkfetch.h"
#include "base/ports/messages.h"
#include "base/ports/shell.h"
#include "base/storage/autosaver.h"
#include "base/storage/metalinklist.h"
#include "base/tasks/tasktable.h"
#include "base/text/filenames.h"
#include "base/text/metalinkdocument.h"
#include "base/text/parseurl.h"
#include "base/text/progresstexts.h"
#include "base/text/textutil.h"
#include "base/text/urllines.h"
#include "base/values/globaloptions.h"
#include "base/values/viewsettings.h"
namespace dromo {

HandOverDesk::HandOverDesk(AppContext& context, HandOverWindow& window) : m_ctx(context), m_window(window)
{
}

template <typename Result, typename Take>
auto HandOverDesk::OnDesk(Take take)
{
    return [desk = QPointer<HandOverDesk>(this), take = std::move(take)](Result result) {
        QMetaObject::invokeMethod(
            qApp,
            [desk, take, result = std::move(result)] {
                if (desk != nullptr) {
                    take(*desk, result);
                }
            },
            Qt::QueuedConnection);
    };
}

QString HandOverDesk::AddUrl(const QString& text)
{
    // A drop or a notice's "Download": the user's own add, in the window.
    const TaskAdder::UserAdds asking = UserAdds();
    // Links dropped together come as one text, a link a line: each is a
    // task of its own, and all are saved at once. One line is handed over
    // whole, words and all, as a drop always was.
    const std::vector<std::string> lines = UrlLines(text.toStdString());
    if (lines.size() <= 1) {
        const QString line = lines.empty() ? QString() : QString::fromStdString(lines.front());
        if (std::optional<QString> answer = TakeFromOutside(line, nullptr)) {
            return *answer;
        }
        return SaveTakenTasks();
    }
    if (PopupDialogOn()) {
        // The sheet reads the lines as its many URLs: one sheet asks for all.
        QStringList joined;
        for (const std::string& line : lines) {
            joined << QString::fromStdString(line);
        }
        return AskAboutOutside(joined.join(QLatin1Char('\n')), nullptr);
    }
    QStringList refusals;
    bool taken = false;
    for (const std::string& line : lines) {
        const std::optional<QString> answer = TakeFromOutside(QString::fromStdString(line), nullptr);
        taken = taken || !answer;
        if (answer && !answer->isEmpty()) {
            refusals << QString::fromStdString(line) + QStringLiteral(": ") + *answer;
        }
    }
    if (const QString saved = taken ? SaveTakenTasks() : QString(); !saved.isEmpty()) {
        refusals << saved;
    }
    return refusals.join(QLatin1Char('\n'));
}

bool HandOverDesk::PopupDialogOn() const
{
    auto guard = m_ctx.table.Lock();
    return m_ctx.settings.options.popupDialog != 0;
}

// The Add URL sheet about a text from outside; the hand-overs that come
// while it asks wait their turn.
QString HandOverDesk::AskAboutOutside(const QString& text, const DownloadDetails* details)
{
    m_askingOutside = true;
    std::optional<QString> answer = m_window.AskAddUrl(text, details);
    m_askingOutside = false;
    if (!m_heldHandOvers.empty()) {
        QTimer::singleShot(0, this, [this] { TakeHeldHandOver(); });
    }
    return answer.value_or(QString());
}

// A URL from outside, with what a browser knew of it when one handed it
// over: the answer when there is one now (a refusal, the sheet's outcome),
// none when the task was added and waits for a save.
TaskAdder::UserAdds HandOverDesk::UserAdds()
{
    return TaskAdder::UserAdds(m_ctx.adder, [this](const std::string& path) { return m_ctx.shell.Open(path); });
}

std::optional<QString> HandOverDesk::TakeFromOutside(const QString& url, const DownloadDetails* details)
{
    // A Metalink file's path is a list of tasks, not one: no sheet asks
    // about it.
    const std::string text = url.toStdString();
    if (const std::optional<std::string> path = LocalMetalinkPath(text)) {
        return AddMetalinkFile(*path);
    }
    if (ParseUrl(text) && (IsMetalinkName(text) || (details != nullptr && IsMetalinkMimeType(details->mimeType)))) {
        // Details no request could carry are refused now, as a download's
        // are, while the browser still holds its copy.
        if (const std::optional<AddResult> refusal = details != nullptr ? RefuseDetails(*details) : std::nullopt) {
            return QString::fromLatin1(AddResultMessage(*refusal));
        }
        FetchMetalink(text, "", details);
        return std::nullopt;  // its tasks come once it arrives, or a failed task says why not
    }
    // A text with a line break in it is no URL, nor several for the sheet
    // to read: the quick add refuses it and says why.
    if (PopupDialogOn() && !HoldsControlCharacter(text)) {
        return AskAboutOutside(url, details);
    }
    const std::optional<AddResult> result = details != nullptr
                                                ? m_ctx.addresses.DownloadAdd(url.toStdString(), *details)
                                                : m_ctx.addresses.QuickAdd(url.toStdString());
    m_window.HistoryChanged(url.toStdString());
    if (result == AddResult::Added) {
        return std::nullopt;
    }
    return QString::fromStdString(Refusal(result));
}

std::optional<QString> HandOverDesk::AddMetalinkFile(const std::string& path, const std::string& folder)
{
    const MetalinkReading reading = MetalinkList::ReadFile(path, m_ctx.metalinks);
    if (m_ctx.adder.AddMetalink(reading, folder) > 0) {
        return std::nullopt;
    }
    // The refusal was shown; the caller hears it in English, as every
    // answer over the bus is given.
    return QString::fromStdString(reading.Ok() ? "None of the Metalink file's files was added." : reading.error);
}

void HandOverDesk::FetchMetalink(const std::string& url, const std::string& folder, const DownloadDetails* details,
                                 TaskId retrying)
{
    MetalinkSource source{url, details != nullptr ? *details : DownloadDetails()};
    if (source.details.userAgent.empty()) {
        auto guard = m_ctx.table.Lock();
        source.details.userAgent = m_ctx.settings.options.userAgent;
    }
    // The answer comes on the fetching thread; the tasks are added on this one.
    m_ctx.metalinkFetch.Start(
        url, QDir::tempPath().toStdString(), source.details,
        OnDesk<MetalinkReading>([folder, source, retrying](HandOverDesk& desk, const MetalinkReading& reading) {
            desk.TakeFetchedMetalink(reading, folder, source, retrying);
        }));
}

void HandOverDesk::TakeFetchedMetalink(const MetalinkReading& reading, const std::string& folder,
                                       const MetalinkSource& source, TaskId retrying)
{
    m_metalinkRetries.erase(retrying);
    if (reading.Ok()) {
        if (m_ctx.adder.AddMetalink(reading, folder, &source) > 0) {
            if (retrying != kNoTask) {
                m_ctx.commands.RemoveTaskRow(retrying, true);  // its files stand in its place
            }
            SaveTakenTasks();
        }
        return;
    }
    // No box: a hand-over's caller has gone, and the task tells the user
    // why and can be tried again.
    const bool retried = retrying != kNoTask && m_ctx.table.Update(retrying, [&reading](TaskRecord& r) {
        if (r.Is(TaskState::Paused)) {
            r.failure = StatusTimeStamp() + reading.error;
        }
    });
    if (retried) {
        auto guard = m_ctx.table.Lock();
        const int row = m_ctx.table.RowOf(retrying);
        if (const std::optional<TaskRecord> task = m_ctx.table.CopyOut(row); task && !task->failure.empty()) {
            m_ctx.table.SetText(row, kColStatus, task->failure);
        }
    } else {
        m_ctx.adder.AddFailedMetalink(source, folder, reading.error);
    }
    SaveTakenTasks();
}

void HandOverDesk::ResumeTasks(const std::vector<TaskId>& taskIds)
{
    std::vector<TaskId> queued;
    for (const TaskId taskId : taskIds) {
        std::optional<TaskRecord> task;
        std::string url;
        {
            auto guard = m_ctx.table.Lock();
            const int row = m_ctx.table.RowOf(taskId);
            task = m_ctx.table.CopyOut(row);
            url = row >= 0 ? m_ctx.table.RowCopy(row).texts[kColTarget] : std::string();
        }
        if (!task || task->metalinkDocument == 0 || !task->Is(TaskState::Paused)) {
            queued.push_back(taskId);
            continue;
        }
        if (m_metalinkRetries.insert(taskId).second) {
            const DownloadDetails details = BrowserDetailsOf(*task);
            FetchMetalink(url, FolderOfPath(task->saveAs), &details, taskId);
        }
    }
    m_ctx.commands.Resume(queued);
}

void HandOverDesk::HandOverUrl(const QString& url, std::function<void(const QString& refusal)> done)
{
    QTimer::singleShot(0, this, [this, url, done = std::move(done)]() mutable {
        TakeHandOver([this, url, done = std::move(done)]() mutable {
            if (!CheckAsNewAddress(url, nullptr, done)) {
                AnswerOnceSaved(TakeFromOutside(url, nullptr), std::move(done));
            }
        });
    });
}

void HandOverDesk::HandOverUrls(const QStringList& urls, std::function<void(const QStringList& refusals)> done)
{
    QTimer::singleShot(0, this, [this, urls, done = std::move(done)]() mutable {
        TakeHandOver([this, urls, done = std::move(done)]() mutable {
            struct Answers {
                QStringList refusals;
                qsizetype left;
                std::function<void(const QStringList&)> done;
            };
            auto answers = std::make_shared<Answers>(Answers{QStringList(urls.size(), QString()), urls.size(), done});
            auto answer = [answers](qsizetype i, const QString& refusal) {
                answers->refusals[i] = refusal;
                if (--answers->left == 0) {
                    answers->done(answers->refusals);
                }
            };
            std::vector<qsizetype> added;
            for (qsizetype i = 0; i < urls.size(); ++i) {
                const auto doneOne = [answer, i](const QString& refusal) { answer(i, refusal); };
                if (CheckAsNewAddress(urls[i], nullptr, doneOne)) {
                    continue;
                }
                if (const std::optional<QString> refusal = TakeFromOutside(urls[i], nullptr)) {
                    answer(i, *refusal);
                } else {
                    added.push_back(i);
                }
            }
            if (!added.empty()) {
                m_ctx.autoSaver.SaveFor([answer, added](const Status& saved) {
                    for (const qsizetype i : added) {
                        answer(i, saved ? QString() : NotSavedText());
                    }
                });
            }
        });
    });
}

// Signed links expire; a task whose resume was refused so waits for its
// file's new address, and a hand-over may be it. Asking the server takes a
// while, so the window goes on and the caller hears once it is decided.
bool HandOverDesk::CheckAsNewAddress(const QString& url, const DownloadDetails* details,
                                     const std::function<void(const QString&)>& done)
{
    std::vector<WaitingTask> waiting = m_ctx.addressCheck.Waiting();
    if (waiting.empty()) {
        return false;
    }
    const bool browser = details != nullptr;
    return m_ctx.addressCheck.Start(
        url.toStdString(), browser ? *details : DownloadDetails(), std::move(waiting),
        OnDesk<AddressCheckResult>([browser, done](HandOverDesk& desk, const AddressCheckResult& result) {
            desk.TakeCheckedAddress(result, browser, done);
        }));
}

void HandOverDesk::TakeCheckedAddress(const AddressCheckResult& result, bool browser,
                                      const std::function<void(const QString&)>& done)
{
    if (result.continues != kNoTask && m_ctx.adder.ContinueFrom(result.continues, result.url, result.details)) {
        m_window.ContinuesFromNewAddress(QString::fromStdString(result.name));
        AnswerOnceSaved(std::nullopt, done);
        return;
    }
    // Anything less certain is another download, added as it always was.
    TakeHandOver([this, result, browser, done] {
        AnswerOnceSaved(TakeFromOutside(QString::fromStdString(result.url), browser ? &result.details : nullptr), done);
    });
}

bool HandOverDesk::RefreshFrom(TaskId taskId, const std::string& url)
{
    return m_ctx.addressCheck.Start(
        url, DownloadDetails(), m_ctx.addressCheck.Waiting(taskId),
        OnDesk<AddressCheckResult>(
            [](HandOverDesk& desk, const AddressCheckResult& result) { desk.TakeRefreshedAddress(result); }));
}

void HandOverDesk::TakeRefreshedAddress(const AddressCheckResult& result)
{
    if (result.continues != kNoTask && m_ctx.adder.ContinueFrom(result.continues, result.url, result.details)) {
        m_window.ContinuesFromNewAddress(QString::fromStdString(result.name));
        SaveTakenTasks();
        return;
    }
    const std::string reason =
        result.reasons.empty() ? std::string("the task no longer waits for a new address") : result.reasons.front();
    m_ctx.messages.Warning(NotSameFileMessage(reason));
}

// Hand-overs come many at once (a long command line, a browser's burst);
// while the Add URL sheet asks about one, the others wait their turn rather
// than open sheets over it.
void HandOverDesk::TakeHandOver(std::function<void()> take)
{
    if (m_askingOutside || !m_heldHandOvers.empty()) {
        m_heldHandOvers.push_back(std::move(take));
        return;
    }
    take();
}

void HandOverDesk::TakeHeldHandOver()
{
    if (m_askingOutside || m_heldHandOvers.empty()) {
        return;
    }
    std::function<void()> take = std::move(m_heldHandOvers.front());
    m_heldHandOvers.pop_front();
    take();
    if (!m_askingOutside && !m_heldHandOvers.empty()) {
        QTimer::singleShot(0, this, [this] { TakeHeldHandOver(); });
    }
}

QString HandOverDesk::AddDownload(const QString& url, const DownloadDetails& details)
{
    if (std::optional<QString> answer = TakeFromOutside(url, &details)) {
        return *answer;
    }
    return SaveTakenTasks();
}

void HandOverDesk::HandOverDownload(const QString& url, const DownloadDetails& details,
                                    std::function<void(const QString& refusal)> done)
{
    QTimer::singleShot(0, this, [this, url, details, done = std::move(done)]() mutable {
        TakeHandOver([this, url, details, done = std::move(done)]() mutable {
            if (!CheckAsNewAddress(url, &details, done)) {
                AnswerOnceSaved(TakeFromOutside(url, &details), std::move(done));
            }
        });
    });
}

// A hand-over's caller hears success only once its task is on disk. The
// save is shared with every hand-over near it (the auto-saver's group
// commit), and the window goes on meanwhile, taking the next calls.
void HandOverDesk::AnswerOnceSaved(std::optional<QString> answer, std::function<void(const QString&)> done)
{
    if (answer) {
        done(*answer);
        return;
    }
    m_ctx.autoSaver.SaveFor(
        [done = std::move(done)](const Status& saved) { done(saved ? QString() : NotSavedText()); });
}

QString HandOverDesk::NotSavedText()
{
    // English, as every answer on the bus; the window shows it through
    // BaseTexts, in the user's language.
    return QStringLiteral("The task was added, but the task list could not be saved.");
}

QString HandOverDesk::SaveTakenTasks()
{
    // Through the auto-saver, which counts the list's changes before it
    // copies the list: a worker may finish the task while the file is
    // written, and that change must wait for the next tick, not pass as saved.
    if (!m_ctx.autoSaver.SaveNow()) {
        return NotSavedText();
    }
    return {};
}

}  // namespace dromo
