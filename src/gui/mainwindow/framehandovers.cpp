// The main window's hand-overs from outside: a browser's download, another
// start's command line, a call on the bus, a drop. Each caller hears success
// only once its task is on disk, and the saves are shared by every
// hand-over that comes near the same time.

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QInputDialog>
#include <QPointer>
#include <QStatusBar>
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
#include "base/text/clipboardurl.h"
#include "base/text/filenames.h"
#include "base/text/metalinkdocument.h"
#include "base/text/parseurl.h"
#include "base/text/progresstexts.h"
#include "base/text/textutil.h"
#include "base/text/urllines.h"
#include "base/values/globaloptions.h"
#include "gui/mainwindow/cmainframe.h"

namespace dromo {

QString CMainFrame::AddUrl(const QString& text)
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

void CMainFrame::AddTyped(const QString& text)
{
    // A copied list of links pasted into the box is a task a line, as a
    // drop; each the user's own add, in the window.
    const TaskAdder::UserAdds asking = UserAdds();
    const std::vector<std::string> lines = UrlLines(text.toStdString());
    if (lines.empty()) {
        m_ctx.addresses.QuickAdd(text.toStdString());  // nothing to add: refused as always
        LoadHistoryBox(text.toStdString());
    }
    for (const std::string& line : lines) {
        AddFromAddressBar(line);
    }
}

bool CMainFrame::PopupDialogOn() const
{
    auto guard = m_ctx.table.Lock();
    return m_ctx.settings.options.popupDialog != 0;
}

// The Add URL sheet about a text from outside; the hand-overs that come
// while it asks wait their turn.
QString CMainFrame::AskAboutOutside(const QString& text, const DownloadDetails* details)
{
    m_askingOutside = true;
    std::optional<QString> answer = OpenAddUrl(text, details);
    m_askingOutside = false;
    if (!m_heldHandOvers.empty()) {
        QTimer::singleShot(0, this, [this] { TakeHeldHandOver(); });
    }
    return answer.value_or(QString());
}

// A URL from outside, with what a browser knew of it when one handed it
// over: the answer when there is one now (a refusal, the sheet's outcome),
// none when the task was added and waits for a save.
TaskAdder::UserAdds CMainFrame::UserAdds()
{
    return TaskAdder::UserAdds(m_ctx.adder, [this](const std::string& path) { return m_ctx.shell.Open(path); });
}

std::optional<QString> CMainFrame::TakeFromOutside(const QString& url, const DownloadDetails* details)
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
    LoadHistoryBox(url.toStdString());
    if (result == AddResult::Added) {
        return std::nullopt;
    }
    return QString::fromStdString(Refusal(result));
}

std::optional<QString> CMainFrame::AddMetalinkFile(const std::string& path, const std::string& folder)
{
    const MetalinkReading reading = MetalinkList::ReadFile(path, m_ctx.metalinks);
    if (m_ctx.adder.AddMetalink(reading, folder) > 0) {
        return std::nullopt;
    }
    // The refusal was shown; the caller hears it in English, as every
    // answer over the bus is given.
    return QString::fromStdString(reading.Ok() ? "None of the Metalink file's files was added." : reading.error);
}

void CMainFrame::FetchMetalink(const std::string& url, const std::string& folder, const DownloadDetails* details,
                               TaskId retrying)
{
    MetalinkSource source{url, details != nullptr ? *details : DownloadDetails()};
    if (source.details.userAgent.empty()) {
        auto guard = m_ctx.table.Lock();
        source.details.userAgent = m_ctx.settings.options.userAgent;
    }
    // The answer comes on the fetching thread; the tasks are added on this
    // one, and only while the window is there.
    m_ctx.metalinkFetch.Start(url, QDir::tempPath().toStdString(), source.details,
                              [frame = QPointer<CMainFrame>(this), folder, source, retrying](MetalinkReading reading) {
                                  QMetaObject::invokeMethod(
                                      qApp,
                                      [frame, folder, source, retrying, reading = std::move(reading)] {
                                          if (frame != nullptr) {
                                              frame->TakeFetchedMetalink(reading, folder, source, retrying);
                                          }
                                      },
                                      Qt::QueuedConnection);
                              });
}

void CMainFrame::TakeFetchedMetalink(const MetalinkReading& reading, const std::string& folder,
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

void CMainFrame::ResumeTasks(const std::vector<TaskId>& taskIds)
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
            DownloadDetails details;
            details.cookie = task->cookie;
            details.cookieJar = task->cookieJar;
            details.referrer = task->referrer;
            details.userAgent = task->userAgent;
            FetchMetalink(url, FolderOfPath(task->saveAs), &details, taskId);
        }
    }
    m_ctx.commands.Resume(queued);
}

void CMainFrame::HandOverUrl(const QString& url, std::function<void(const QString& refusal)> done)
{
    QTimer::singleShot(0, this, [this, url, done = std::move(done)]() mutable {
        TakeHandOver([this, url, done = std::move(done)]() mutable {
            if (!CheckAsNewAddress(url, nullptr, done)) {
                AnswerOnceSaved(TakeFromOutside(url, nullptr), std::move(done));
            }
        });
    });
}

void CMainFrame::HandOverUrls(const QStringList& urls, std::function<void(const QStringList& refusals)> done)
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
bool CMainFrame::CheckAsNewAddress(const QString& url, const DownloadDetails* details,
                                   const std::function<void(const QString&)>& done)
{
    std::vector<WaitingTask> waiting = m_ctx.addressCheck.Waiting();
    if (waiting.empty()) {
        return false;
    }
    const bool browser = details != nullptr;
    return m_ctx.addressCheck.Start(url.toStdString(), browser ? *details : DownloadDetails(), std::move(waiting),
                                    [frame = QPointer<CMainFrame>(this), browser, done](AddressCheckResult result) {
                                        QMetaObject::invokeMethod(
                                            qApp,
                                            [frame, browser, done, result = std::move(result)] {
                                                if (frame != nullptr) {
                                                    frame->TakeCheckedAddress(result, browser, done);
                                                }
                                            },
                                            Qt::QueuedConnection);
                                    });
}

void CMainFrame::TakeCheckedAddress(const AddressCheckResult& result, bool browser,
                                    const std::function<void(const QString&)>& done)
{
    if (result.continues != kNoTask && m_ctx.adder.ContinueFrom(result.continues, result.url, result.details)) {
        statusBar()->showMessage(
            tr("The task %1 continues from its new address.").arg(QString::fromStdString(result.name)), 30000);
        AnswerOnceSaved(std::nullopt, done);
        return;
    }
    // Anything less certain is another download, added as it always was.
    TakeHandOver([this, result, browser, done] {
        AnswerOnceSaved(TakeFromOutside(QString::fromStdString(result.url), browser ? &result.details : nullptr), done);
    });
}

void CMainFrame::RefreshAddress(TaskId taskId)
{
    const std::optional<TaskRecord> task = m_ctx.table.CopyOut(m_ctx.table.RowOf(taskId));
    if (!task || !task->WaitsForNewAddress()) {
        return;
    }
    const QString name = QString::fromStdString(NameOfPath(task->saveAs));
    if (!task->referrer.empty()) {
        // The site hands out a fresh signed link to whoever asks on its
        // page: the browser's next hand-over of the file is checked as any.
        m_ctx.shell.OpenPage(task->referrer, [] {});
        statusBar()->showMessage(
            tr("Click the download of %1 again on its page; the task continues from the new address.").arg(name),
            60000);
        return;
    }
    QInputDialog ask(this);
    ask.setWindowTitle(tr("Refresh Address"));
    ask.setLabelText(tr("The new address of %1:").arg(name));
    ask.setTextValue(QString::fromStdString(UrlFromClipboard(QApplication::clipboard()->text().toStdString())));
    // Wide enough that a signed link shows its path and most of its query.
    ask.resize(std::max(ask.sizeHint().width(), ask.fontMetrics().averageCharWidth() * 72), ask.sizeHint().height());
    const QString url = ask.exec() == QDialog::Accepted ? ask.textValue().trimmed() : QString();
    if (url.isEmpty()) {
        return;
    }
    const bool checking =
        m_ctx.addressCheck.Start(url.toStdString(), DownloadDetails(), m_ctx.addressCheck.Waiting(taskId),
                                 [frame = QPointer<CMainFrame>(this)](AddressCheckResult result) {
                                     QMetaObject::invokeMethod(
                                         qApp,
                                         [frame, result = std::move(result)] {
                                             if (frame != nullptr) {
                                                 frame->TakeRefreshedAddress(result);
                                             }
                                         },
                                         Qt::QueuedConnection);
                                 });
    if (!checking) {
        m_ctx.messages.Warning(AddResultMessage(AddResult::InvalidUrl));
    }
}

void CMainFrame::TakeRefreshedAddress(const AddressCheckResult& result)
{
    if (result.continues != kNoTask && m_ctx.adder.ContinueFrom(result.continues, result.url, result.details)) {
        statusBar()->showMessage(
            tr("The task %1 continues from its new address.").arg(QString::fromStdString(result.name)), 30000);
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
void CMainFrame::TakeHandOver(std::function<void()> take)
{
    if (m_askingOutside || !m_heldHandOvers.empty()) {
        m_heldHandOvers.push_back(std::move(take));
        return;
    }
    take();
}

void CMainFrame::TakeHeldHandOver()
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

QString CMainFrame::AddDownload(const QString& url, const DownloadDetails& details)
{
    if (std::optional<QString> answer = TakeFromOutside(url, &details)) {
        return *answer;
    }
    return SaveTakenTasks();
}

void CMainFrame::HandOverDownload(const QString& url, const DownloadDetails& details,
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
void CMainFrame::AnswerOnceSaved(std::optional<QString> answer, std::function<void(const QString&)> done)
{
    if (answer) {
        done(*answer);
        return;
    }
    m_ctx.autoSaver.SaveFor(
        [done = std::move(done)](const Status& saved) { done(saved ? QString() : NotSavedText()); });
}

QString CMainFrame::NotSavedText()
{
    // English, as every answer on the bus; the window shows it through
    // BaseTexts, in the user's language.
    return QStringLiteral("The task was added, but the task list could not be saved.");
}

QString CMainFrame::SaveTakenTasks()
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
