// The main window's menus, toolbar and address bar, the small menus (tray,
// tool windows, the list's) and the commands' states they all show.
#include "gui/mainwindow/cmainframe.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include "base/commands/addresshistory.h"
#include "base/commands/completion.h"
#include "base/commands/taskcommands.h"
#include "base/values/globaloptions.h"
#include "gui/mainwindow/cdropbasket.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/cspeedbar.h"
#include "gui/widgets/artwork.h"

namespace dromo {

void CMainFrame::ShowToolMenu(bool basket, const QPoint& at)
{
    RefreshCommands();
    QMenu menu;
    FillPopup(menu, basket ? Popup::Basket : Popup::SpeedBar);
    menu.exec(at);
}

// The small menus share one list: the tray's and the list's empty space
// show all of it, a tool window leaves out the other tool window, and a row
// starts with its own commands and can be deleted. They show their own
// items: plain texts, without the main menu's accelerator marks and keys.
void CMainFrame::FillPopup(QMenu& menu, Popup kind)
{
    using C = CommandId;
    auto add = [&](C id) { menu.addAction(m_popupItems.at(id)); };
    if (kind == Popup::Row) {
        add(C::Properties);
        add(C::Open);
        add(C::OpenFolder);
        add(C::RefreshAddress);
        menu.setDefaultAction(m_popupItems.at(C::Properties));
        menu.addSeparator();
    } else {
        add(C::MainWindow);
        menu.setDefaultAction(m_popupItems.at(C::MainWindow));
    }
    if (kind != Popup::Basket) {
        add(C::SpeedBar);
    }
    if (kind != Popup::SpeedBar) {
        add(C::DropBasket);
    }
    menu.addSeparator();
    add(C::AddUrl);
    add(C::StopAll);
    if (kind == Popup::Row) {
        add(C::DeleteSelected);
    }
    menu.addSeparator();
    add(C::Options);
    add(C::About);
    menu.addSeparator();
    add(C::Exit);
}

// After the toolbar gave the commands their icons.
void CMainFrame::BuildPopupItems()
{
    using C = CommandId;
    const std::pair<C, QString> items[] = {
        {C::MainWindow, tr("Main Window")},
        {C::SpeedBar, tr("Speed Bar")},
        {C::DropBasket, tr("Drop Basket")},
        {C::AddUrl, tr("Add URL...")},
        {C::StopAll, tr("Stop All")},
        {C::Options, tr("Options...")},
        {C::About, tr("About...")},
        {C::Exit, tr("Exit")},
        {C::Properties, tr("Properties")},
        {C::Open, tr("Open")},
        {C::OpenFolder, m_actions[C::OpenFolder]->text()},
        {C::DeleteSelected, tr("Delete")},
        {C::RefreshAddress, tr("Refresh Address…")},
    };
    for (const auto& [id, text] : items) {
        const QAction* command = m_actions.at(id);
        auto* item = new QAction(command->icon(), text, this);
        item->setCheckable(command->isCheckable());
        item->setIconVisibleInMenu(command->isIconVisibleInMenu());
        item->setStatusTip(command->statusTip());
        connect(item, &QAction::triggered, this, [this, id = id] { RunCommand(id); });
        m_popupItems[id] = item;
    }
}

QMenu* CMainFrame::createPopupMenu()
{
    // The frame's own menu: the two bars and nothing else.
    UpdateCommands();
    auto* menu = new QMenu(this);
    menu->addAction(m_actions[CommandId::ToolBar]);
    menu->addAction(m_actions[CommandId::AddressBar]);
    return menu;
}

QAction* CMainFrame::MakeAction(CommandId id, const QString& text, const QKeySequence& key)
{
    auto* action = new QAction(text, this);
    if (!key.isEmpty()) {
        action->setShortcut(key);
    }
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::Action(CommandId id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenus()
{
    using C = CommandId;
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(MakeAction(C::AddUrl, tr("&Add URL..."), QKeySequence(tr("Ctrl+N"))));
    file->addSeparator();
    file->addAction(MakeAction(C::LoadBrokenFile, tr("Load Broken File..."), QKeySequence(tr("Ctrl+O"))));
    m_actions[C::LoadBrokenFile]->setStatusTip(tr("Import a broken file to Dromo"));
    m_actions[C::LoadBrokenFile]->setToolTip(tr("Import Broken File.."));
    file->addSeparator();
    file->addAction(MakeAction(C::SaveDownloadList, tr("Save Download List...")));
    file->addAction(MakeAction(C::LoadDownloadList, tr("Load Download List...")));
    file->addSeparator();
    file->addAction(MakeAction(C::ViewHistory, tr("View History")));
    file->addAction(MakeAction(C::ClearHistory, tr("Clear History")));
    file->addSeparator();
    file->addAction(MakeAction(C::Exit, tr("E&xit")));
    // The everyday keys beside the classic ones, which the menus show.
    m_actions[C::Exit]->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Q)});

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(MakeAction(C::SelectAll, tr("Select All"), QKeySequence(tr("Ctrl+A"))));
    edit->addAction(MakeAction(C::SelectAllInProgress, tr("Select All in Progress")));
    edit->addSeparator();
    edit->addAction(MakeAction(C::DeleteSelected, tr("Delete Selected"), QKeySequence(tr("Alt+Del"))));
    m_actions[C::DeleteSelected]->setShortcuts({QKeySequence(tr("Alt+Del")), QKeySequence(Qt::Key_Delete)});
    edit->addSeparator();
    edit->addAction(MakeAction(C::SaveSettingsNow, tr("Save Settings Now"), QKeySequence(tr("Ctrl+S"))));

    // Alt+D belongs to the address bar, as in a browser; the menu opens
    // with Alt+W.
    QMenu* download = menuBar()->addMenu(tr("Do&wnload"));
    download->addAction(MakeAction(C::Resume, tr("Resume"), QKeySequence(tr("Ctrl+R"))));
    download->addAction(MakeAction(C::RefreshAddress, tr("Re&fresh Address…")));
    download->addSeparator();
    download->addAction(MakeAction(C::Stop, tr("Stop"), QKeySequence(tr("Ctrl+T"))));
    download->addAction(MakeAction(C::StopAll, tr("Stop All"), QKeySequence(tr("Ctrl+P"))));
    download->addSeparator();
    download->addAction(MakeAction(C::AutoDialUp, tr("Auto Dial-up")));
    download->addAction(MakeAction(C::HangUpWhenDone, tr("Hang up When Done")));
    download->addAction(MakeAction(C::ShutDownWhenDone, tr("Shut Down Computer When Done")));

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(MakeAction(C::Properties, tr("Properties")));
    view->addAction(MakeAction(C::SpeedBar, tr("Speed Bar")));
    view->addAction(MakeAction(C::DropBasket, tr("Drop Basket")));
    view->addSeparator();
    view->addAction(MakeAction(C::ToolBar, tr("Tool Bar")));
    view->addAction(MakeAction(C::AddressBar, tr("Address Bar")));
    view->addSeparator();
    QMenu* wallpaper = view->addMenu(tr("Wall Paper"));
    wallpaper->addAction(MakeAction(C::WallpaperBlank, tr("Blank")));
    wallpaper->addAction(MakeAction(C::WallpaperCustomize, tr("Customize...")));
    view->addAction(MakeAction(C::GridLine, tr("Grid Line")));
    view->addSeparator();
    view->addAction(MakeAction(C::Options, tr("Options...")));
    m_actions[C::Options]->setStatusTip(tr("View or change the options"));
    connect(wallpaper, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(MakeAction(C::HelpTopics, tr("&Help Topics"), QKeySequence(Qt::Key_F1)));
    help->addSeparator();
    help->addAction(MakeAction(C::Legend, tr("&Legend...")));
    help->addAction(MakeAction(C::About, tr("&About Dromo...")));
    // Context help has no menu item: its key works anywhere in the window.
    addAction(MakeAction(C::ContextHelp, tr("Help"), QKeySequence(Qt::SHIFT | Qt::Key_F1)));

    for (C id : {C::ShutDownWhenDone, C::HangUpWhenDone, C::AutoDialUp, C::GridLine, C::ToolBar, C::AddressBar,
                 C::SpeedBar, C::DropBasket, C::WallpaperBlank, C::WallpaperCustomize}) {
        m_actions[id]->setCheckable(true);
    }
    for (QMenu* menu : {file, edit, download, view}) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands);
    }
    MakeAction(C::MainWindow, tr("Main Window"));
    // The keys a browser gives its address bar.
    auto* address = new QAction(tr("Go to the Address Bar"), this);
    address->setShortcuts({QKeySequence(tr("Ctrl+L")), QKeySequence(Qt::Key_F6), QKeySequence(tr("Alt+D"))});
    connect(address, &QAction::triggered, this, &CMainFrame::FocusAddressBar);
    addAction(address);
    MakeAction(C::Open, tr("Open"));
    MakeAction(C::OpenFolder, tr("Open Containing Folder"));
}

void CMainFrame::BuildToolBar()
{
    using C = CommandId;
    QToolBar* bar = addToolBar(tr("Tool Bar"));
    m_toolBar = bar;
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setFloatable(false);
    bar->setMovable(false);
    // Icons with their texts as tool tips: long texts such as "Shut Down
    // Computer When Done" are never cut to fit a button.
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setIconSize(QSize(24, 24));
    const std::pair<C, const char*> buttons[] = {
        {C::AddUrl, "list-add"},
        {C::SaveDownloadList, "document-save"},
        {C::LoadDownloadList, "document-open"},
        {C::Exit, nullptr},
        {C::Resume, "media-playback-start"},
        {C::Stop, "media-playback-stop"},
        {C::StopAll, "process-stop"},
        {C::Exit, nullptr},
        {C::ShutDownWhenDone, "system-shutdown"},
        {C::HangUpWhenDone, "network-offline"},
        {C::AutoDialUp, "network-transmit-receive"},
        {C::Exit, nullptr},
        {C::SpeedBar, "utilities-system-monitor"},
        {C::DropBasket, "edit-paste"},
        {C::Options, "preferences-system"},
        {C::Exit, nullptr},
    };
    for (const auto& [id, icon] : buttons) {
        if (icon == nullptr) {
            bar->addSeparator();
            continue;
        }
        QAction* action = m_actions[id];
        action->setIcon(Artwork::Command(QString::fromLatin1(icon)));
        bar->addAction(action);
    }
    connect(m_actions[C::ToolBar], &QAction::toggled, bar, &QToolBar::setVisible);
    const std::pair<C, const char*> menuOnly[] = {
        {C::LoadBrokenFile, "document-import"},
        {C::DeleteSelected, "edit-delete"},
        {C::SelectAll, "edit-select-all"},
        {C::Properties, "document-properties"},
        {C::Exit, "application-exit"},
        {C::HelpTopics, "help-contents"},
        {C::About, "help-about"},
    };
    for (const auto& [id, icon] : menuOnly) {
        m_actions[id]->setIcon(Artwork::Command(QString::fromLatin1(icon)));
    }
    // A menu item with an icon shows no check mark in most styles: the
    // checkable ones keep their mark and leave the icon to the toolbar.
    for (auto& [id, action] : m_actions) {
        if (action->isCheckable()) {
            action->setIconVisibleInMenu(false);
        }
    }

    // The address bar starts a row of its own under the buttons.
    addToolBarBreak(Qt::TopToolBarArea);
    QToolBar* addressBar = addToolBar(tr("Address Bar"));
    addressBar->setObjectName(QStringLiteral("address"));
    addressBar->setFloatable(false);
    addressBar->setMovable(false);
    auto* addressLabel = new QLabel(tr("Address:"));
    addressLabel->setBuddy(m_address);
    addressBar->addWidget(addressLabel);
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->setMinimumWidth(400);
    m_address->lineEdit()->setMaxLength(static_cast<int>(AddressHistory::kBoxLimit));
    addressBar->addWidget(m_address);
    // Enter is taken before the box sees it. Keys reach the box, not its
    // edit (the box is the edit's focus proxy and hands each key to the
    // edit itself, past any filter), and the box's own handling of Enter
    // would run the add a second time through the edit's returnPressed.
    m_address->installEventFilter(this);
    addressBar->setVisible(m_ctx.addresses.Shown());
    connect(m_actions[C::AddressBar], &QAction::toggled, this, [this, addressBar](bool on) {
        m_ctx.addresses.SetShown(on);
        addressBar->setVisible(on);
    });
}

void CMainFrame::FocusAddressBar()
{
    if (!m_ctx.addresses.Shown()) {
        m_actions[CommandId::AddressBar]->setChecked(true);  // asked for: it comes back
    }
    m_address->setFocus(Qt::ShortcutFocusReason);
    m_address->lineEdit()->selectAll();
}

void CMainFrame::contextMenuEvent(QContextMenuEvent* event)
{
    // Whatever no child took: the status bar, the bars' free space.
    QMenu* menu = createPopupMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void CMainFrame::RefreshCommands()
{
    // Asking the network is a bus call: only when a menu opens.
    m_ctx.completion.RefreshConnection();
    UpdateCommands();
}

void CMainFrame::UpdateCommands()
{
    const auto selection = m_view->SelectedTaskIds();
    const TaskId clicked = m_view->ClickedTaskId();
    for (auto& [id, action] : m_actions) {
        action->setEnabled(m_ctx.commands.Enabled(id, selection, clicked));
        if (action->isCheckable() && id != CommandId::ToolBar && id != CommandId::AddressBar &&
            id != CommandId::SpeedBar && id != CommandId::DropBasket && id != CommandId::WallpaperBlank &&
            id != CommandId::WallpaperCustomize) {
            action->setChecked(m_ctx.commands.Checked(id));
        }
    }
    m_actions[CommandId::AddressBar]->setChecked(m_ctx.addresses.Shown());
    m_actions[CommandId::SpeedBar]->setChecked(m_speedBar->isVisible());
    m_actions[CommandId::DropBasket]->setChecked(m_basket->isVisible());
    m_actions[CommandId::WallpaperBlank]->setChecked(m_ctx.settings.options.backgroundType == 0);
    m_actions[CommandId::WallpaperCustomize]->setChecked(m_ctx.settings.options.backgroundType != 0);
    // Whether the bar is meant to show, also while the window is hidden.
    m_actions[CommandId::ToolBar]->setChecked(!m_toolBar->isHidden());
    for (auto& [id, item] : m_popupItems) {
        item->setEnabled(m_actions[id]->isEnabled());
        item->setChecked(m_actions[id]->isChecked());
    }
    ShowPowerActions();
}

std::unique_ptr<QMenu> CMainFrame::TaskMenu(bool onRow)
{
    RefreshCommands();
    auto menu = std::make_unique<QMenu>(this);
    FillPopup(*menu, onRow ? Popup::Row : Popup::Window);
    return menu;
}

void CMainFrame::ShowTaskMenu(bool onRow, const QPoint& at, bool fromKeyboard)
{
    const std::unique_ptr<QMenu> menu = TaskMenu(onRow);
    if (fromKeyboard) {
        // Opened by a key, the menu starts on its first item, so Return
        // runs it as a click would: the row's default command. (Set once it
        // shows: showing clears what was set before.)
        QTimer::singleShot(0, menu.get(), [m = menu.get()] {
            for (QAction* item : m->actions()) {
                if (item->isEnabled() && !item->isSeparator()) {
                    m->setActiveAction(item);
                    break;
                }
            }
        });
    }
    menu->exec(at);
}

}  // namespace dromo
