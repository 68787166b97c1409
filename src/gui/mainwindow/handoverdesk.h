#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/commands/taskadder.h"
#include "base/values/taskid.h"
#include "gui/mainwindow/appcontext.h"

namespace dromo {

struct AddressCheckResult;

// What the desk asks of the window: it only shows and asks.
class HandOverWindow {
public:
    // The address history changed, `added` the URL just entered ("" for none):
    // the address box follows it.
    virtual void HistoryChanged(const std::string& added) = 0;
    // The Add URL sheet about a text from outside (several URLs a line
    // each), with what a browser knew of it: nothing when it was cancelled,
    // else the refusal as AddUrl gives it.
    virtual std::optional<QString> AskAddUrl(const QString& text, const DownloadDetails* details) = 0;
    // The task named `name` continues from the new address it was handed.
    virtual void ContinuesFromNewAddress(const QString& name) = 0;

protected:
    ~HandOverWindow() = default;
};

// URLs and downloads from outside (a browser, another start's command line,
// a call on the bus, a drop) and the Metalink files among them, taken into
// the task list: each caller hears success only once its task is on disk,
// the saves shared by every hand-over near the same time, and the
// hand-overs that come while the Add URL sheet asks about one wait their
// turn. No widget: the window it shows through is a HandOverWindow.
class HandOverDesk : public QObject {
    Q_OBJECT
public:
    HandOverDesk(AppContext& context, HandOverWindow& window);

    // A text dropped on the list or the basket, or a notice's URL: with
    // "Popup Dialog" on, the Add URL sheet; otherwise the quick add, of
    // each line when there are several (a URL a line). A task added so is
    // saved before this returns. The refusal is returned: empty when a task
    // was added or the sheet was answered, else the text of the box the add
    // showed (or why nothing was tried), "LINE: why" a line for several.
    QString AddUrl(const QString& text);
    // The same for the capture object: handled from the event loop, not
    // inside the bus call; `done` gets the refusal once the URL has been
    // dealt with (at once, or after the Add URL sheet closed).
    void HandOverUrl(const QString& url, std::function<void(const QString& refusal)> done);
    // URLs handed over together (another start's command line): taken in
    // one pass, saved once, `done` told the refusals in their order ("" for
    // each taken) once every task is on disk.
    void HandOverUrls(const QStringList& urls, std::function<void(const QStringList& refusals)> done);
    // A browser's download with what the browser knew of it (cookie,
    // referrer, user agent, file name), as AddUrl and HandOverUrl.
    QString AddDownload(const QString& url, const DownloadDetails& details);
    void HandOverDownload(const QString& url, const DownloadDetails& details,
                          std::function<void(const QString& refusal)> done);

    // The files of a local Metalink file as tasks; the refusal when none
    // was added (already shown to the user).
    std::optional<QString> AddMetalinkFile(const std::string& path, const std::string& folder = "");
    // A Metalink file's URL: fetched in the background with what the
    // browser knew of it (`details`, when it came from one), its files added
    // as tasks when it arrives; one that cannot be fetched or read leaves a
    // failed task that says why (`retrying`: the failed task being tried
    // again, which its files then replace).
    void FetchMetalink(const std::string& url, const std::string& folder = "", const DownloadDetails* details = nullptr,
                       TaskId retrying = kNoTask);
    // Resume: a failed Metalink file is fetched again, the others queued.
    void ResumeTasks(const std::vector<TaskId>& taskIds);
    // The address the user gave a task that waits for a new one, checked
    // off this thread as a hand-over is; false when no check could start.
    bool RefreshFrom(TaskId taskId, const std::string& url);

    // The scope of an add the user makes in the window: a file already
    // there is asked about.
    TaskAdder::UserAdds UserAdds();
    // Whether the Add URL sheet now asks about a text from outside.
    bool AskingOutside() const { return m_askingOutside; }
    // Tasks taken from outside reach the disk before anyone hears of them;
    // an empty text when they did.
    QString SaveTakenTasks();

private:
    bool PopupDialogOn() const;
    // A URL from outside, with what a browser knew of it when one handed it
    // over: the answer when there is one now (a refusal, the sheet's
    // outcome), none when the task was added and waits for a save.
    std::optional<QString> TakeFromOutside(const QString& url, const DownloadDetails* details);
    QString AskAboutOutside(const QString& text, const DownloadDetails* details);
    void TakeFetchedMetalink(const MetalinkReading& reading, const std::string& folder, const MetalinkSource& source,
                             TaskId retrying);
    // A hand-over while tasks wait for a new address: checked off this
    // thread against each of them (AddressCheck); false when there is
    // nothing to check, and `done` is left to the caller.
    bool CheckAsNewAddress(const QString& url, const DownloadDetails* details,
                           const std::function<void(const QString&)>& done);
    // The check's outcome: the task continues from the address, or the
    // hand-over is taken as it always was; `done` hears it once saved.
    void TakeCheckedAddress(const AddressCheckResult& result, bool browser,
                            const std::function<void(const QString&)>& done);
    void TakeRefreshedAddress(const AddressCheckResult& result);
    void TakeHandOver(std::function<void()> take);
    void TakeHeldHandOver();
    void AnswerOnceSaved(std::optional<QString> answer, std::function<void(const QString&)> done);
    static QString NotSavedText();
    // A callback for a worker thread's `Result`: `take(desk, result)` runs
    // on the desk's thread, and only while the desk is there.
    template <typename Result, typename Take>
    auto OnDesk(Take take);

    AppContext& m_ctx;
    HandOverWindow& m_window;
    bool m_askingOutside = false;                       // the Add URL sheet asks about a URL from outside
    std::deque<std::function<void()>> m_heldHandOvers;  // wait until it closes
    std::set<TaskId> m_metalinkRetries;                 // failed Metalink files being fetched again
};

}  // namespace dromo
