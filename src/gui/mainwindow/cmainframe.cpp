#include "gui/mainwindow/cmainframe.h"

#include "base/text/filenames.h"
#include "base/view/speedsamples.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>

#include "base/commands/addresshistory.h"
#include "base/commands/completion.h"
#include "base/commands/taskcommands.h"
#include "base/download/refreshtimer.h"
#include "base/download/workerpool.h"
#include "base/forms/brokenfile.h"
#include "base/forms/optionsapply.h"
#include "base/forms/taskpagevalues.h"
#include "base/forms/taskproperties.h"
#include "base/forms/urlbatch.h"
#include "base/ports/messages.h"
#include "base/ports/profile.h"
#include "base/ports/shell.h"
#include "base/storage/autosaver.h"
#include "base/storage/downloadlist.h"
#include "base/storage/historypage.h"
#include "base/storage/settingsstore.h"
#include "base/tasks/tasktable.h"
#include "base/tasks/workerstate.h"
#include "base/text/clipboardurl.h"
#include "base/text/filenames.h"
#include "base/text/metalinkdocument.h"
#include "base/text/parseurl.h"
#include "base/text/startup.h"
#include "base/text/urlpattern.h"
#include "base/values/globaloptions.h"
#include "base/view/filetypeicon.h"
#include "base/view/frameplacement.h"
#include "base/view/listcolumns.h"
#include "base/view/taskfilter.h"
#include "gui/dialogs/options/cpropsheet.h"
#include "gui/dialogs/task/caddprop.h"
#include "gui/mainwindow/caboutdlg.h"
#include "gui/mainwindow/cdropbasket.h"
#include "gui/mainwindow/clegenddlg.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/cspeedbar.h"
#include "gui/mainwindow/cwallpaperdlg.h"
#include "gui/mainwindow/helptopic.h"
#include "gui/mainwindow/taskfilterbar.h"
#include "gui/mainwindow/tasklistmodel.h"
#include "gui/widgets/accessiblenames.h"
#include "gui/widgets/artwork.h"
#include "gui/widgets/filechooser.h"
#include "gui/widgets/hintcolours.h"
#include "platform/atomicfile.h"
#include "platform/basetexts.h"
#include "platform/platformpaths.h"

namespace dromo {

CMainFrame::CMainFrame(AppContext& context, TaskListModel& model, QWidget* parent)
    : QMainWindow(parent), m_ctx(context),
      m_desk(std::make_unique<HandOverDesk>(context, static_cast<HandOverWindow&>(*this))),
      m_view(new CMainView(model, context.settings.options, this)),
      m_speedBar(std::make_unique<CSpeedBar>(context.samples)), m_basket(std::make_unique<CDropBasket>()),
      m_filterBar(new TaskFilterBar), m_address(new QComboBox), m_systemFiles(std::make_unique<FileChooser>()),
      m_files(m_systemFiles.get())
{
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(Artwork::Program());
    BuildFilter(model);
    PlaceFromProfile();

    BuildMenus();
    BuildToolBar();
    BuildPopupItems();
    BuildStatusAndTray();
    LoadHistoryBox();
    MarkHelpTopics();
    NameControls();

    connect(m_view, &CMainView::DoubleClicked, this, [this](TaskId taskId) { m_ctx.commands.DoubleClick(taskId); });
    connect(m_view, &CMainView::ContextMenuWanted, this, &CMainFrame::ShowTaskMenu);
    connect(m_view, &CMainView::TextDropped, m_desk.get(), &HandOverDesk::AddUrl);
    connect(m_basket.get(), &CDropBasket::TextDropped, m_desk.get(), &HandOverDesk::AddUrl);
    connect(m_basket.get(), &ToolWindow::MainWindowWanted, this, [this] { RunCommand(CommandId::MainWindow); });
    connect(m_speedBar.get(), &ToolWindow::MainWindowWanted, this, [this] { RunCommand(CommandId::MainWindow); });
    connect(m_basket.get(), &ToolWindow::MenuWanted, this, [this](const QPoint& at) { ShowToolMenu(true, at); });
    connect(m_speedBar.get(), &ToolWindow::MenuWanted, this, [this](const QPoint& at) { ShowToolMenu(false, at); });
    // Command states follow what they depend on: the selection, and the
    // tasks' states as the list shows them.
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CMainFrame::UpdateCommands);
    connect(&model, &TaskListModel::Flushed, this, &CMainFrame::UpdateCommands);

    m_trayClick.setSingleShot(true);
    connect(&m_trayClick, &QTimer::timeout, this, &CMainFrame::ToggleMainWindow);
    // Whole seconds of the system clock, like the desktop watch's poll:
    // both wake the program at the same moment, once a second when idle.
    m_tick.setTimerType(Qt::VeryCoarseTimer);
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        m_ctx.refresh.Tick();
        ShowPowerActions();
        // Nothing new to draw while nothing runs.
        if (m_ctx.samples.Added() != m_samplesDrawn) {
            m_samplesDrawn = m_ctx.samples.Added();
            m_speedBar->update();
        }
        if (m_ctx.autoSaver.Tick()) {
            ShowSaveProblem();
        }
    });
    m_ctx.refresh.Start();
    m_tick.start();
    UpdateCommands();
    // The writer thread's word that a group save is on disk comes back here.
    m_ctx.autoSaver.PostBackWith(
        [this](std::function<void()> call) { QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection); });
}

// What a screen reader says for the controls that have no label beside
// them; the labelled fields of every window are named as it shows.
void CMainFrame::NameControls()
{
    qApp->installEventFilter(new AccessibleNames(this));
    HintColours::Follow();
    m_view->setAccessibleName(tr("Tasks"));
    m_view->setAccessibleDescription(
        tr("The downloads, one row each: file, state and progress first. Return opens a finished file, Shift+F10 "
           "opens the row's menu."));
    AccessibleNames::Name(m_address, tr("Address"));
    m_address->setAccessibleDescription(tr("Type a URL and press Return to download it (Ctrl+L, F6 or Alt+D)."));
    m_address->lineEdit()->setAccessibleDescription(m_address->accessibleDescription());
    m_toolBar->setAccessibleName(tr("Tool Bar"));
    menuBar()->setAccessibleName(tr("Menu Bar"));
    statusBar()->setAccessibleName(tr("Status Bar"));
}

CMainFrame::~CMainFrame()
{
    m_ctx.autoSaver.PostBackWith(nullptr);  // no answer comes to a window that is gone
}

void CMainFrame::PlaceFromProfile()
{
    const SavedPlacement saved = ReadPlacement(m_ctx.profile);
    // The screen the saved window was on, or the primary one; its
    // geometry, like the window's, is in device-independent pixels.
    const QPoint centre((saved.left + saved.right) / 2, (saved.top + saved.bottom) / 2);
    QScreen* screen = QGuiApplication::screenAt(centre);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const Placement p =
        PlacementFromSaved(saved, {area.x(), area.y(), area.width(), area.height()}, m_view->WidthForAllColumns());
    setGeometry(p.x, p.y, p.width, p.height);
    m_startMaximized = saved.maximized;
}

void CMainFrame::BuildFilter(TaskListModel& model)
{
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_filterBar);
    layout->addWidget(m_view, 1);
    setCentralWidget(central);

    const TaskFilter stored = TaskFilter::Read(m_ctx.profile);
    m_filterBar->SetFilter(stored);
    m_view->SetFilter(stored);
    const ListColumnLayout columns = ReadListColumns(m_ctx.profile);
    m_view->ShowFileColumn(columns.fileShown);
    m_view->PlaceFileColumn(columns.fileFirst);
    auto showCounts = [this, &model] { m_filterBar->ShowCounts(m_view->ShownRowCount(), model.rowCount()); };
    connect(m_filterBar, &TaskFilterBar::FilterChanged, this, [this, showCounts](const TaskFilter& filter) {
        m_view->SetFilter(filter);
        showCounts();
        UpdateCommands();  // a selected row the filter hid is no longer selected
    });
    connect(&model, &TaskListModel::Flushed, this, showCounts);
    showCounts();
    // A task just added that the filter would hide looks like an add that
    // did nothing: the filter goes, and the status bar says why. New tasks
    // come last, so each flush looks at the rows it brought, from the end.
    connect(&model, &TaskListModel::Flushed, this, [this, &model, showCounts] {
        TaskId newest = m_checkedTaskIds;
        bool hidden = false;
        for (int row = model.rowCount() - 1; row >= 0; --row) {
            const TaskId taskId = model.TaskIdAt(row);
            if (taskId == kNoTask || taskId < std::max(m_firstNewTaskId, m_checkedTaskIds)) {
                break;
            }
            newest = std::max(newest, taskId + 1);
            hidden = hidden || !m_view->ShowsRow(row);
        }
        m_checkedTaskIds = newest;
        if (hidden && m_filterBar->Filter().Active()) {
            m_filterBar->SetFilter(TaskFilter());
            m_view->SetFilter(TaskFilter());
            showCounts();
            statusBar()->showMessage(tr("The filter was cleared to show the new download."), 15000);
        }
    });
    connect(m_filterBar, &TaskFilterBar::ListWanted, this, [this] {
        m_view->setFocus(Qt::OtherFocusReason);
        if (!m_view->selectionModel()->hasSelection() && m_view->ShownRowCount() > 0) {
            m_view->selectRow(0);
        }
    });
    // Ctrl+F anywhere in the window, like the help keys.
    auto* find = new QAction(tr("Find Tasks"), this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, m_filterBar, &TaskFilterBar::FocusText);
    addAction(find);
}

void CMainFrame::ListRestored()
{
    m_firstNewTaskId = m_ctx.table.NextTaskId();
}

void CMainFrame::ShowAtStart(bool minimised)
{
    if (m_startMaximized) {
        // The rectangle just set stays the normal one to go back to.
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    // The list has the keyboard when the window first comes up (the filter
    // field is the first in the focus chain, and would take it otherwise).
    m_view->setFocus(Qt::OtherFocusReason);
    if (minimised) {
        showMinimized();
    } else {
        show();
    }
}

void CMainFrame::PlaceToolWindows()
{
    // Never placed by the user (nothing saved): places of their own, which
    // the options keep from now on, rather than one corner for both.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const ToolWindowPlaces first =
        FirstToolWindowPlaces({area.x(), area.y(), area.width(), area.height()}, m_speedBar->width(),
                              m_speedBar->height(), m_basket->width(), m_basket->height());
    const bool basketSaved = HasSavedCorner(m_ctx.profile, "DropBasket X", "DropBasket Y");
    const bool speedBarSaved = HasSavedCorner(m_ctx.profile, "SpeedBar X", "SpeedBar Y");
    GlobalOptions o;
    {
        auto guard = m_ctx.table.Lock();  // workers read the options under it
        GlobalOptions& live = m_ctx.settings.options;
        if (!basketSaved) {
            live.dropBasketX = first.basketX;
            live.dropBasketY = first.basketY;
        }
        if (!speedBarSaved) {
            live.speedBarX = first.speedBarX;
            live.speedBarY = first.speedBarY;
        }
        o = live;
    }
    m_basket->move(o.dropBasketX, o.dropBasketY);
    m_speedBar->move(o.speedBarX, o.speedBarY);
    m_basket->setVisible(o.showDropBasket != 0);
    m_speedBar->setVisible(o.showSpeedBar != 0);
    UpdateCommands();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_address && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_ctx.addresses.Shown()) {
                AddTyped(m_address->currentText());
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// The address bar takes what the Add URL sheet takes: a Metalink file's URL
// or path stands for its files, a pattern for its URLs; anything else is
// the quick add.
void CMainFrame::AddFromAddressBar(const std::string& url)
{
    if (url.empty() || url.back() == '/' || (!IsMetalinkName(url) && !HasUrlPattern(url))) {
        m_ctx.addresses.QuickAdd(url);
        LoadHistoryBox(url);
        return;
    }
    if (IsMetalinkName(url)) {
        if (const std::optional<std::string> path = LocalMetalinkPath(url)) {
            m_ctx.addresses.Insert(url);
            m_desk->AddMetalinkFile(*path);
            m_desk->SaveTakenTasks();
            LoadHistoryBox(url);
            return;
        }
        if (ParseUrl(url)) {
            m_ctx.addresses.Insert(url);
            m_desk->FetchMetalink(url);
            LoadHistoryBox(url);
            return;
        }
    }
    const UrlBatch batch = ReadUrlBatch(url);
    if (!batch.error.empty()) {
        m_ctx.messages.Warning(batch.error);
        return;
    }
    if (!batch.many) {
        m_ctx.addresses.QuickAdd(url);
        LoadHistoryBox(url);
        return;
    }
    const ViewSettings settings = SettingsCopy();
    const TaskPageValues values = TaskPageValues::FromOptions(settings.options, url);
    TaskRecord record;
    values.ApplyTo(record);
    record.saveAs = BatchSaveFolder(values.saveAs, values.targetFolder);
    m_ctx.addresses.Insert(url);
    AddUrlBatch(batch.urls, record);
    LoadHistoryBox(url);
}

void CMainFrame::LoadHistoryBox(const std::string& added)
{
    const QString typed = m_address->currentText();
    // The box follows the history step by step rather than being filled
    // again: an add moves or puts one entry at the top and may drop the
    // oldest, and a burst of hundreds of hand-overs paid for every entry's
    // icon each time.
    const std::vector<std::string>& entries = m_ctx.addresses.Entries();
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const QString url = QString::fromStdString(entries[static_cast<std::size_t>(i)]);
        if (i < m_address->count() && m_address->itemText(i) == url) {
            continue;
        }
        QIcon icon;
        for (int j = i + 1; j < m_address->count(); ++j) {
            if (m_address->itemText(j) == url) {
                icon = m_address->itemIcon(j);
                m_address->removeItem(j);
                break;
            }
        }
        m_address->insertItem(i, icon.isNull() ? Artwork::FileType(FileTypeIcon(url.toStdString())) : icon, url);
    }
    while (m_address->count() > static_cast<int>(entries.size())) {
        m_address->removeItem(m_address->count() - 1);
    }
    // An entry just added is selected, as the box shows it; otherwise (the
    // add refused it, or the list was only reloaded) the text stays.
    if (!added.empty() && !m_ctx.addresses.Entries().empty() && m_ctx.addresses.Entries().front() == added) {
        m_address->setCurrentIndex(0);
    } else {
        m_address->setCurrentIndex(-1);
        m_address->setEditText(typed);
    }
}

void CMainFrame::BuildStatusAndTray()
{
    m_panes[0] = new QLabel;
    m_panes[1] = new QLabel(tr("0 tasks is running"));
    m_panes[2] = new QLabel(tr("0 tasks is in queue"));
    statusBar()->addWidget(m_panes[0], 1);
    statusBar()->addPermanentWidget(m_panes[1]);
    statusBar()->addPermanentWidget(m_panes[2]);
    for (QLabel* count : {m_panes[1], m_panes[2]}) {
        ShowCount(count, count->text());
    }
    m_powerPane = new QLabel;
    m_powerPane->setObjectName(QStringLiteral("powerActions"));
    m_powerPane->setToolTip(tr("Switch it off in the Download menu."));
    m_powerPane->setVisible(false);
    statusBar()->addPermanentWidget(m_powerPane);

    m_trayTip = QString::fromLatin1(kAppTitle);
    // Without a notification area Dromo still starts; hiding then minimises.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    m_tray = new QSystemTrayIcon(Artwork::Tray(128), this);
    m_trayMenu = new QMenu(this);
    FillPopup(*m_trayMenu, Popup::Window);
    connect(m_trayMenu, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands);
    m_tray->setContextMenu(m_trayMenu);
    m_tray->setToolTip(m_trayTip);
    connect(m_tray, &QSystemTrayIcon::activated, this, &CMainFrame::TrayActivated);
    m_tray->show();
}

// A double-click on the icon restores the window; a single click toggles
// it. The tray reports a double-click as a click and then a double-click
// (or, where it knows none, as two clicks), so a click waits the
// double-click time before it toggles: a double-click never hides the
// window on its way to showing it.
void CMainFrame::TrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger && !m_trayClick.isActive()) {
        m_trayClick.start(QApplication::doubleClickInterval());
        return;
    }
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
        m_trayClick.stop();
        ShowMainWindow();
    }
}

QString CMainFrame::TrayTip() const
{
    QString tip = m_trayTip;
    for (const QString& line : {PowerActionsText(), m_saveProblem}) {
        if (!line.isEmpty()) {
            tip += QLatin1Char('\n') + line;
        }
    }
    return tip;
}

QString CMainFrame::PowerActionsText() const
{
    QStringList on;
    if (m_ctx.commands.Checked(CommandId::ShutDownWhenDone)) {
        on << tr("Shut Down Computer When Done");
    }
    if (m_ctx.commands.Checked(CommandId::HangUpWhenDone)) {
        on << tr("Hang up When Done");
    }
    return on.isEmpty() ? QString() : tr("Switched on: %1").arg(on.join(QStringLiteral(", ")));
}

// The options may change behind the menus (a cancelled countdown switches
// them off), so this runs with every command update and every second.
void CMainFrame::ShowPowerActions()
{
    const QString text = PowerActionsText();
    if (m_powerPane == nullptr || text == m_powerPane->text()) {
        return;
    }
    m_powerPane->setText(text);
    m_powerPane->setAccessibleName(text);
    m_powerPane->setVisible(!text.isEmpty());
    if (m_tray) {
        m_tray->setToolTip(TrayTip());
    }
}

void CMainFrame::ShowSaveProblem()
{
    const std::string& problem = m_ctx.autoSaver.Problem();
    const QString text = problem.empty() ? QString() : tr("Not saved: %1").arg(BaseTexts::Shown(problem));
    if (text == m_saveProblem) {
        return;
    }
    m_saveProblem = text;
    if (text.isEmpty()) {
        statusBar()->clearMessage();
    } else {
        statusBar()->showMessage(text);
    }
    if (m_tray) {
        m_tray->setToolTip(TrayTip());
    }
}

void CMainFrame::ShowNotice(const std::string& text)
{
    if (text.empty()) {
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kAppTitle), BaseTexts::Shown(text),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

QString CMainFrame::PaneText(int pane) const
{
    return pane >= 0 && pane < 3 ? m_panes[pane]->text() : QString();
}

void CMainFrame::StatusTexts(const std::string& pane0, const std::string& pane1, const std::string& pane2)
{
    // A burst of adds and finished transfers changes the counts hundreds of
    // times a second, from the workers' threads; the window shows the latest
    // texts once per pass of its loop rather than laying out the status bar
    // for each, and translates only those. An empty text leaves its pane as
    // it is.
    {
        std::lock_guard lock(m_panesMutex);
        const std::string* texts[] = {&pane0, &pane1, &pane2};
        for (std::size_t i = 0; i < 3; ++i) {
            if (!texts[i]->empty()) {
                m_panesDue[i] = *texts[i];
            }
        }
        if (m_panesPosted) {
            return;
        }
        m_panesPosted = true;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            std::array<std::string, 3> due;
            {
                std::lock_guard lock(m_panesMutex);
                due.swap(m_panesDue);
                m_panesPosted = false;
            }
            if (!due[0].empty()) {
                m_panes[0]->setText(BaseTexts::Shown(due[0]));
            }
            for (std::size_t i = 1; i < 3; ++i) {
                if (!due[i].empty()) {
                    ShowCount(m_panes[i], BaseTexts::Shown(due[i]));
                }
            }
        },
        Qt::QueuedConnection);
}

// The count panes only grow: a label of fixed size lays nothing out again
// when its text changes, and a count that changes a hundred times a second
// would otherwise have the whole status bar measured for each.
void CMainFrame::ShowCount(QLabel* pane, const QString& text)
{
    pane->setText(text);
    if (const QSize wanted = pane->sizeHint();
        wanted.width() > pane->minimumWidth() || wanted.height() > pane->minimumHeight()) {
        pane->setFixedSize(wanted.expandedTo(pane->minimumSize()));
    }
}

void CMainFrame::TrayStateChanged(const TrayState& state)
{
    const QString tip = BaseTexts::Shown(state.tip).left(kTipLimit);
    const int icon = state.icon;
    QMetaObject::invokeMethod(
        this,
        [this, tip, icon] {
            m_trayTip = tip;
            if (m_tray) {
                if (icon != m_trayIcon) {
                    m_tray->setIcon(Artwork::Tray(icon));
                }
                if (m_tray->toolTip() != TrayTip()) {
                    m_tray->setToolTip(TrayTip());
                }
            }
            m_trayIcon = icon;
        },
        Qt::QueuedConnection);
}

bool CMainFrame::RunSheet(CPropertySheet& sheet)
{
    if (m_sheetDriver) {
        sheet.show();
        m_sheetDriver(sheet);
        sheet.hide();
        return sheet.result() == QDialog::Accepted;
    }
    return sheet.exec() == QDialog::Accepted;
}

ViewSettings CMainFrame::SettingsCopy() const
{
    // The sheets read copies: workers read the options and lists meanwhile,
    // and a modal run must not hold the task-table lock.
    auto guard = m_ctx.table.Lock();
    return m_ctx.settings;
}

std::optional<QString> CMainFrame::OpenAddUrl(const QString& url, const DownloadDetails* details)
{
    const ViewSettings settings = SettingsCopy();
    // An empty sheet starts with a URL the user just copied.
    const std::string start =
        url.isEmpty() ? UrlFromClipboard(QApplication::clipboard()->text().toStdString()) : url.toStdString();
    TaskPageValues values = TaskPageValues::FromOptions(settings.options, start);
    // A URL from outside that holds brackets is one URL, as it always was.
    values.manyUrls = !HasUrlPattern(start);
    const std::string browserName = details != nullptr ? SafeFileName(details->fileName) : std::string();
    if (!browserName.empty()) {
        values.saveAs = m_ctx.adder.SavePathForName(browserName);  // kept by the sheet on showing
    }
    const CategoryList* categories = settings.options.enableCategory != 0 ? &settings.categories : nullptr;
    CAddProp sheet(tr("Add URL"), this, CAddProp::kUrlPage, values, settings.proxies, categories, m_ctx.messages,
                   *m_files);
    HelpTopic::Mark(&sheet, QStringLiteral("add-url.html"));
    if (!RunSheet(sheet)) {
        return std::nullopt;
    }
    TaskRecord record;
    values.ApplyTo(record);
    // A Metalink file's URL or path becomes its files, in the sheet's folder.
    if (const std::string folder = BatchSaveFolder(values.saveAs, values.targetFolder); IsMetalinkName(values.url)) {
        if (const std::optional<std::string> path = LocalMetalinkPath(values.url)) {
            if (std::optional<QString> refusal = m_desk->AddMetalinkFile(*path, folder)) {
                return refusal;
            }
            return m_desk->SaveTakenTasks();
        }
        if (ParseUrl(values.url)) {
            m_desk->FetchMetalink(values.url, folder);
            return QString();
        }
    }
    if (UrlBatch batch = ReadUrlBatch(values.url); values.manyUrls && batch.many) {
        record.saveAs = BatchSaveFolder(values.saveAs, values.targetFolder);
        return AddUrlBatch(batch.urls, record);
    }
    if (details != nullptr) {
        TakeBrowserDetails(record, *details);
        // The browser's name, left as the sheet showed it, is the user's.
        record.nameChosen = !browserName.empty() && NameOfPath(record.saveAs) == browserName ? 1 : 0;
    }
    std::optional<AddResult> result;
    if (m_desk->AskingOutside()) {
        result = m_ctx.addresses.DialogAdd(values.url, record);
    } else {
        const TaskAdder::UserAdds asking = m_desk->UserAdds();
        result = m_ctx.addresses.DialogAdd(values.url, record);
    }
    LoadHistoryBox(values.url);
    if (result == AddResult::Added) {
        return m_desk->SaveTakenTasks();
    }
    return QString::fromStdString(Refusal(result));
}

void CMainFrame::OpenTaskProperties(TaskId taskId)
{
    ViewSettings settings;
    std::optional<TaskRecord> record;
    {
        auto guard = m_ctx.table.Lock();
        settings = m_ctx.settings;
        record = m_ctx.table.CopyOut(m_ctx.table.RowOf(taskId));
    }
    if (!record || record->Is(TaskState::Running)) {
        return;
    }
    TaskPageValues values = TaskPageValues::FromRecord(*record, settings.options);
    const CategoryList* categories = settings.options.enableCategory != 0 ? &settings.categories : nullptr;
    CAddProp sheet(tr("Task Properties"), this, CAddProp::kUrlPage, values, settings.proxies, categories,
                   m_ctx.messages, *m_files);
    HelpTopic::Mark(&sheet, QStringLiteral("task-properties.html"));
    if (RunSheet(sheet)) {
        ApplyTaskProperties(m_ctx.table, record->taskId, values, m_ctx.messages);
    }
}

void CMainFrame::ImportBrokenFile()
{
    const ViewSettings settings = SettingsCopy();
    TaskPageValues values = TaskPageValues::FromOptions(settings.options, std::string());
    values.saveAs.clear();
    CAddProp sheet(tr("Import Broken File"), this, CAddProp::kFilePage, values, settings.proxies, nullptr,
                   m_ctx.messages, *m_files);
    HelpTopic::Mark(&sheet, QStringLiteral("broken-file.html"));
    if (!RunSheet(sheet)) {
        return;
    }
    const TakenOverFile file = TakeOverBrokenFile(values.saveAs);
    if (file.error) {
        m_ctx.messages.Warning(*file.error);
        return;
    }
    TaskRecord record;
    values.ApplyTo(record);
    record.saveAs = file.path;
    // The one way to hand Dromo a partial file it did not write: the task
    // may continue it although it carries no mark of Dromo's.
    record.ownsPartialFile = 1;
    // The file is renamed before the add, so no worker can find it under
    // the target's name; an add that is refused gives the name back.
    const bool tried = !values.url.empty() && !file.path.empty();
    const bool added = tried && m_ctx.addresses.DialogAdd(values.url, record) == AddResult::Added;
    if (tried) {
        LoadHistoryBox(values.url);
    }
    if (!added) {
        if (const auto error = GiveBackBrokenFile(file)) {
            m_ctx.messages.Warning(*error);
        }
    }
}

void CMainFrame::OpenOptions()
{
    const ViewSettings settings = SettingsCopy();
    CPropSheet sheet(this, settings, m_ctx.messages, *m_files, m_ctx.sound, [this] {
        m_ctx.addresses.Clear();
        LoadHistoryBox();
    });
    HelpTopic::Mark(&sheet, QStringLiteral("options.html"));
    if (!RunSheet(sheet)) {
        return;
    }
    ApplyOptionsSheet(sheet.Result(), m_ctx.settings, m_ctx.table, m_ctx.store, m_ctx.pool);
    m_view->ApplyAppearance();
}

bool CMainFrame::MainWindowShown() const
{
    // Read from the window, not kept in a flag: the taskbar or the window
    // manager may restore a minimised window behind Dromo's back.
    return isVisible() && !isMinimized();
}

void CMainFrame::HideMainWindow()
{
    if (m_tray) {
        hide();
    } else {
        showMinimized();  // no notification area: the taskbar keeps it
    }
}

void CMainFrame::ToggleMainWindow()
{
    if (MainWindowShown()) {
        HideMainWindow();
    } else {
        ShowMainWindow();
    }
}

void CMainFrame::ShowMainWindow()
{
    // Back as it was hidden: a maximised window stays maximised.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void CMainFrame::Customize()
{
    GlobalOptions& o = m_ctx.settings.options;
    CWallpaperDlg dialog(QString::fromStdString(o.backgroundImagePath), o.backgroundImageTiled != 0, o.textColor, this);
    HelpTopic::Mark(&dialog, QStringLiteral("task-list.html#wall-paper"));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    {
        auto guard = m_ctx.table.Lock();
        o.textColor = dialog.TextColor();
        o.textColorChosen = o.textColorChosen != 0 || dialog.TextColorPicked() ? 1 : 0;
        o.backgroundImageTiled = dialog.Tiled() ? 1 : 0;
        // An empty path leaves the background as it was, so the image it
        // shows is kept too (the list draws it from the stored path).
        if (!dialog.Path().isEmpty()) {
            o.backgroundImagePath = dialog.Path().toStdString();
            o.backgroundType = 1;
        }
    }
    m_view->ApplyAppearance();
}

void CMainFrame::SaveList()
{
    const QString chosen =
        QFileDialog::getSaveFileName(this, tr("Save Download List"), QString(), tr("Download List Files (*.lst)"));
    if (chosen.isEmpty()) {
        return;
    }
    // Written whole or not at all, owner-only: it holds passwords in plain
    // text. The rows of the selected tasks as they are now, kept so while
    // the list is made; the file is written after the lock is released.
    const std::string path = DownloadList::WithExtension(chosen.toStdString());
    DownloadList::ListText list;
    {
        auto guard = m_ctx.table.Lock();
        list =
            DownloadList::Write(m_ctx.table, m_ctx.commands.RowsOf(m_view->SelectedTaskIds()), m_ctx.settings.proxies);
    }
    if (const Status written = WriteFileAtomically(path, list.text); !written) {
        m_ctx.messages.Warning(written.Reason());
    } else if (!list.leftOut.empty()) {
        m_ctx.messages.Warning(tr("Left out of the list: %1 of the selected tasks. A value of theirs (the save path, "
                                  "the login, the proxy) holds a line break, which a list file cannot carry.")
                                   .arg(list.leftOut.size())
                                   .toStdString());
    }
}

void CMainFrame::LoadList()
{
    const QString chosen = QFileDialog::getOpenFileName(
        this, tr("Load Download List"), QString(),
        tr("Download List Files (*.lst)") + QStringLiteral(";;") + tr("Metalink Files (*.meta4 *.metalink)"));
    if (!chosen.isEmpty() && IsMetalinkName(chosen.toStdString())) {
        m_desk->AddMetalinkFile(chosen.toStdString());
        m_desk->SaveTakenTasks();
    } else if (!chosen.isEmpty()) {
        DownloadList::LoadFile(chosen.toStdString(), m_ctx.settings.options, m_ctx.settings.proxies, m_ctx.table,
                               m_ctx.adder);
        m_desk->SaveTakenTasks();
    }
}

void CMainFrame::SaveFrameSettings()
{
    // The same rectangle the window is placed by when it opens, so it does
    // not creep by its frame's width from one run to the next. A minimised
    // or maximised window keeps the size it will be restored to.
    const QRect r = isMinimized() || isMaximized() ? normalGeometry() : geometry();
    WritePlacement(m_ctx.profile, PlacementToSave(r.left(), r.top(), r.right() + 1, r.bottom() + 1,
                                                  windowState().testFlag(Qt::WindowMaximized)));
    m_ctx.addresses.Save(m_ctx.profile);
    m_filterBar->Filter().Write(m_ctx.profile);
    WriteListColumns(m_ctx.profile, {m_view->FileColumnShown(), m_view->FileColumnFirst()});
    // The tool windows' corners go out with the other options.
    auto guard = m_ctx.table.Lock();
    GlobalOptions& o = m_ctx.settings.options;
    o.dropBasketX = m_basket->x();
    o.dropBasketY = m_basket->y();
    o.speedBarX = m_speedBar->x();
    o.speedBarY = m_speedBar->y();
}

void CMainFrame::Exit()
{
    int active = 0;
    {
        auto guard = m_ctx.table.Lock();
        active = m_ctx.state.Counts(guard).activeCount;
    }
    if (active != 0 &&
        !m_ctx.messages.AskOkCancel(tr("There is task running, exit anyway?").toStdString(), Ask::Stop)) {
        return;
    }
    if (const Status saved = StopAndSave(); !saved) {
        m_ctx.messages.Warning(tr("Dromo could not save its settings and task list before ending. %1")
                                   .arg(BaseTexts::Shown(saved.Reason()))
                                   .toStdString());
    }
    if (m_tray) {
        m_tray->hide();
    }
    m_speedBar->hide();
    m_basket->hide();
    close();
    qApp->quit();
}

void CMainFrame::EndSession()
{
    if (m_exiting) {
        return;
    }
    // Nobody may be there to click a box: the reason goes to the log.
    if (const Status saved = StopAndSave(); !saved) {
        std::fprintf(stderr, "dromo: the settings and task list were not saved: %s\n", saved.Reason().c_str());
    }
    qApp->exit(0);
}

// Both ways out: every transfer stopped, the frame's values and the settings
// saved, the workers given at most five seconds.
Status CMainFrame::StopAndSave()
{
    m_exiting = true;
    m_tick.stop();
    Status saved;
    m_ctx.pool.StopAllWorkers(m_ctx.commands, [this, &saved] {
        SaveFrameSettings();
        saved = m_ctx.autoSaver.SaveNow();
    });
    return saved;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    // The close button hides the window (to the tray); only Exit ends Dromo.
    event->ignore();
    if (MainWindowShown()) {
        HideMainWindow();
    }
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    UpdateCommands();  // the check marks of the options as loaded
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray) {
        // Minimising hides to the tray, once the state change is over.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isMinimized() && isVisible()) {
                    hide();
                }
            },
            Qt::QueuedConnection);
    }
}

}  // namespace dromo
