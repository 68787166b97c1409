#pragma once

#include <QMainWindow>
#include <QSystemTrayIcon>
#include <QTimer>
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "base/commands/taskadder.h"
#include "base/ports/tasklistobserver.h"
#include "base/storage/settingsstore.h"
#include "base/values/commandid.h"
#include "gui/mainwindow/appcontext.h"
#include "gui/mainwindow/handoverdesk.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QToolBar;

namespace dromo {

struct AddressCheckResult;
struct DownloadDetails;
struct MetalinkReading;
class ClipboardOffers;
class Notifications;
struct TaskRecord;
struct OfferedLink;
class LinkChoice;

class CDropBasket;
class CPropertySheet;
class FileChooser;
class CMainView;
class CSpeedBar;
class TaskFilterBar;
class TaskListModel;

// The main window: menus, toolbar, address bar, status bar, the task list,
// the tray icon, and the ways out (hiding, Exit, the end of the session).
class CMainFrame : public QMainWindow, public TaskListObserver, private HandOverWindow {
    Q_OBJECT
public:
    CMainFrame(AppContext& context, TaskListModel& model, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CMainView& View() { return *m_view; }
    TaskFilterBar& FilterBar() { return *m_filterBar; }
    CSpeedBar& SpeedBar() { return *m_speedBar; }
    CDropBasket& DropBasket() { return *m_basket; }
    QAction* Action(CommandId id) const;
    QComboBox& AddressBox() { return *m_address; }
    QString PaneText(int pane) const;
    const QLabel* Pane(int pane) const { return m_panes[pane]; }
    // The tray icon's tip, with a failed save's reason under it.
    QString TrayTip() const;
    bool HasTray() const { return m_tray != nullptr; }
    // Shows a failed save (status bar and tray tip) or its end; called
    // after every save attempt.
    void ShowSaveProblem();
    // A message that holds nothing up: a box the user closes when he likes.
    void ShowNotice(const std::string& text);

    // URLs and downloads from outside go through the desk, which asks and
    // shows through the window.
    HandOverDesk& Desk() { return *m_desk; }
    // The window's first showing: minimised when started by D-Bus activation.
    void ShowAtStart(bool minimised);
    // The saved tasks are in the list: every task after them is new, and
    // the filter kept from the last run never hides one.
    void ListRestored();
    // A page's links from a browser: listed for the user to pick from, the
    // list opening after this returns; "" when they are listed, else why
    // not. The chosen ones go through AddChosenLinks (framelinks.cpp).
    QString OfferLinks(const std::vector<OfferedLink>& links);
    // Adds the chosen links and saves them once; "" or why the save failed.
    QString AddChosenLinks(const LinkChoice& choice);
    // The Add URL sheet's many URLs (a pattern, several lines), each with
    // the sheet's record and its own name, saved once; "" when every one was
    // added and saved, else what went wrong.
    QString AddUrlBatch(const std::vector<std::string>& urls, const TaskRecord& record);
    // "Watch Clipboard": copied links are offered through the Add URL sheet
    // or, while the window is hidden, a notice of these; nullptr stops it
    // (before the notices' owner goes).
    void WatchClipboard(Notifications* notices);
    void ToggleMainWindow();
    // Ctrl+L, F6, Alt+D: the keyboard in the address bar, its text selected
    // (the bar shown first when it was hidden).
    void FocusAddressBar();
    // What a power action switched on will do, "" while none is on: shown
    // in the status bar and under the tray tip as long as it is on.
    QString PowerActionsText() const;
    // A click on the tray icon, as the tray reports it.
    void TrayActivated(QSystemTrayIcon::ActivationReason reason);
    // Whether the window is up on the screen (not hidden, not minimised).
    bool MainWindowShown() const;
    // The task list's context menu: on a row, or on empty space.
    std::unique_ptr<QMenu> TaskMenu(bool onRow);
    // After the options are loaded: the tool windows at their places.
    void PlaceToolWindows();
    void RunCommand(CommandId id);
    // Updates every command's enabled state and check mark; it runs by
    // itself when the selection or a task's state changes.
    void UpdateCommands();
    // The frame's own values: placement and address history.
    void SaveFrameSettings();
    // The sheets: "Add URL" (with a URL from outside, or empty from the
    // menu), "Task Properties" of a task, "Import Broken File", "Options".
    // The Add URL sheet tells how its add ended: nothing when it was
    // cancelled, else the refusal as AddUrl returns it.
    std::optional<QString> OpenAddUrl(const QString& url, const DownloadDetails* details = nullptr);
    void OpenTaskProperties(TaskId taskId);
    void ImportBrokenFile();
    void OpenOptions();
    // Where the sheets pick files and folders (the system's pickers unless
    // set), and a driver that runs a shown sheet in place of a person.
    void SetFileChooser(FileChooser* files) { m_files = files; }
    void SetSheetDriver(std::function<void(CPropertySheet&)> driver) { m_sheetDriver = std::move(driver); }
    // The end of the session (SIGTERM, SIGINT, the session manager): stop
    // everything, save, wait at most 5 s for the workers, quit with 0.
    void EndSession();

    // Status-bar texts and tray state arrive from any thread.
    void RowInserted(int) override {}
    void RowRemoved(int) override {}
    void RowChanged(int, RowParts) override {}
    void StatusTexts(const std::string& pane0, const std::string& pane1, const std::string& pane2) override;
    void TrayStateChanged(const TrayState& state) override;

    static constexpr int kTipLimit = 63;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    QMenu* createPopupMenu() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The menus, the toolbar, the address bar and the small menus, and the
    // commands' states they show (framemenus.cpp).
    QAction* MakeAction(CommandId id, const QString& text, const QKeySequence& key = {});
    // A menu opens: the connection state too, then every command's state.
    void RefreshCommands();
    void PlaceFromProfile();
    // The filter above the list and the File column, as the last run left them.
    void BuildFilter(TaskListModel& model);
    void BuildMenus();
    void BuildToolBar();
    void BuildPopupItems();
    void BuildStatusAndTray();
    static void ShowCount(QLabel* pane, const QString& text);
    void ShowPowerActions();
    void ShowTaskMenu(bool onRow, const QPoint& at, bool fromKeyboard = false);
    void ShowToolMenu(bool basket, const QPoint& at);
    enum class Popup { Row, Window, SpeedBar, Basket };
    void FillPopup(QMenu& menu, Popup kind);
    void HideMainWindow();
    void ShowMainWindow();
    void Exit();
    // Stops and saves for the exit; why the save failed, or "".
    Status StopAndSave();
    // Refills the address box; `added` is the URL just entered, if any.
    void LoadHistoryBox(const std::string& added = {});
    // Return in the address bar.
    void AddFromAddressBar(const std::string& url);
    void SaveList();
    void LoadList();
    // Return in the address bar: the typed URL, or pasted links a line each.
    void AddTyped(const QString& text);
    // "Refresh Address…" on a task that waits for a new address: the page
    // it came from opens in the browser, whose next hand-over of the file
    // continues it; without one the user gives the address, which is
    // checked as a hand-over is.
    void RefreshAddress(TaskId taskId);
    // What the desk asks of the window (framehandovers.cpp).
    void HistoryChanged(const std::string& added) override;
    std::optional<QString> AskAddUrl(const QString& text, const DownloadDetails* details) override;
    void ContinuesFromNewAddress(const QString& name) override;
    void Customize();
    // What each command does (framecommands.cpp); RunCommand looks it up.
    using CommandHandler = void (*)(CMainFrame& frame, CommandId id);
    static const std::map<CommandId, CommandHandler>& CommandHandlers();
    void SaveSettingsNow();
    void ToggleToolWindow(CommandId id);
    void BlankWallpaper();
    // The guide's page for each window and part (F1, Shift+F1).
    void MarkHelpTopics();
    void NameControls();
    // Opens the guide at `topic` ("page.html" or "page.html#section").
    void OpenHelp(const QString& topic);
    bool RunSheet(CPropertySheet& sheet);
    ViewSettings SettingsCopy() const;

    AppContext& m_ctx;
    std::unique_ptr<HandOverDesk> m_desk;
    CMainView* m_view;
    std::unique_ptr<CSpeedBar> m_speedBar;  // no parent: they stay while the window hides
    std::unique_ptr<CDropBasket> m_basket;
    TaskFilterBar* m_filterBar;
    QComboBox* m_address;
    QToolBar* m_toolBar = nullptr;
    std::map<CommandId, QAction*> m_popupItems;  // the small menus' own items
    QLabel* m_panes[3];
    // The panes' texts told from any thread and not shown yet.
    std::mutex m_panesMutex;
    std::array<std::string, 3> m_panesDue;
    bool m_panesPosted = false;
    bool m_historyDue = false;
    std::optional<std::string> m_historyAdded;
    QLabel* m_powerPane = nullptr;  // PowerActionsText, hidden while it is empty
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_trayMenu = nullptr;
    QString m_trayTip;
    QString m_saveProblem;
    int m_trayIcon = 128;
    std::map<CommandId, QAction*> m_actions;
    QTimer m_tick;
    std::uint64_t m_samplesDrawn = 0;  // the speed samples the bar last drew
    QTimer m_trayClick;                // a single click on the tray icon, until no second one can follow
    bool m_exiting = false;
    bool m_startMaximized = false;  // "MainWnd Maximized" as the last run left it
    std::unique_ptr<FileChooser> m_systemFiles;
    FileChooser* m_files;
    std::function<void(CPropertySheet&)> m_sheetDriver;
    ClipboardOffers* m_clipboard = nullptr;
    TaskId m_firstNewTaskId = kLastTaskId + 1;  // no task is new before the list is restored
    TaskId m_checkedTaskIds = 0;                // the new tasks below it were looked at
};

}  // namespace dromo
