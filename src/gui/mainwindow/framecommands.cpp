// The main window's commands: one handler per command identifier, so the
// menus, the toolbar, the accelerators and the tray all reach the same code.
#include "gui/mainwindow/cmainframe.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>

#include "base/commands/taskcommands.h"
#include "base/ports/messages.h"
#include "base/ports/shell.h"
#include "base/storage/autosaver.h"
#include "base/storage/historypage.h"
#include "base/tasks/tasktable.h"
#include "base/values/globaloptions.h"
#include "gui/mainwindow/caboutdlg.h"
#include "gui/mainwindow/cdropbasket.h"
#include "gui/mainwindow/clegenddlg.h"
#include "gui/mainwindow/cmainview.h"
#include "gui/mainwindow/cspeedbar.h"
#include "gui/mainwindow/helpkeys.h"
#include "gui/mainwindow/helptopic.h"
#include "platform/basetexts.h"
#include "platform/platformpaths.h"

namespace dromo {

void CMainFrame::RunCommand(CommandId id)
{
    const auto& handlers = CommandHandlers();
    if (const auto it = handlers.find(id); it != handlers.end()) {
        it->second(*this, id);
    }
    UpdateCommands();
}

const std::map<CommandId, CMainFrame::CommandHandler>& CMainFrame::CommandHandlers()
{
    using C = CommandId;
    using F = CMainFrame;
    static const std::map<CommandId, CommandHandler> handlers = {
        {C::Resume, [](F& f, C) { f.m_desk->ResumeTasks(f.m_view->SelectedTaskIds()); }},
        {C::Stop, [](F& f, C) { f.m_ctx.commands.Stop(f.m_view->SelectedTaskIds()); }},
        {C::StopAll, [](F& f, C) { f.m_ctx.commands.StopAll(); }},
        {C::DeleteSelected, [](F& f, C) { f.m_ctx.commands.Delete(f.m_view->SelectedTaskIds()); }},
        {C::SelectAll, [](F& f, C) { f.m_view->selectAll(); }},
        {C::SelectAllInProgress, [](F& f, C) { f.m_view->SelectTasks(f.m_ctx.commands.RunningTaskIds()); }},
        {C::Open, [](F& f, C) { f.m_ctx.commands.Open(f.m_view->ClickedTaskId()); }},
        {C::OpenFolder, [](F& f, C) { f.m_ctx.commands.OpenFolder(f.m_view->ClickedTaskId()); }},
        {C::AddUrl, [](F& f, C) { f.OpenAddUrl(QString()); }},
        {C::LoadBrokenFile, [](F& f, C) { f.ImportBrokenFile(); }},
        {C::Properties, [](F& f, C) { f.OpenTaskProperties(f.m_view->ClickedTaskId()); }},
        {C::RefreshAddress, [](F& f, C) { f.RefreshAddress(f.m_view->ClickedTaskId()); }},
        {C::Options, [](F& f, C) { f.OpenOptions(); }},
        {C::GridLine,
         [](F& f, C id) {
             f.m_ctx.commands.Toggle(id);
             f.m_view->ApplyAppearance();
         }},
        {C::ShutDownWhenDone, [](F& f, C id) { f.m_ctx.commands.Toggle(id); }},
        {C::HangUpWhenDone, [](F& f, C id) { f.m_ctx.commands.Toggle(id); }},
        {C::AutoDialUp, [](F& f, C id) { f.m_ctx.commands.Toggle(id); }},
        {C::SaveDownloadList, [](F& f, C) { f.SaveList(); }},
        {C::LoadDownloadList, [](F& f, C) { f.LoadList(); }},
        {C::ViewHistory, [](F& f, C) { f.m_ctx.history.View(f.m_ctx.shell, f.m_ctx.messages); }},
        {C::ClearHistory, [](F& f, C) { f.m_ctx.history.Clear(f.m_ctx.messages); }},
        {C::SaveSettingsNow, [](F& f, C) { f.SaveSettingsNow(); }},
        {C::MainWindow, [](F& f, C) { f.ToggleMainWindow(); }},
        {C::SpeedBar, [](F& f, C id) { f.ToggleToolWindow(id); }},
        {C::DropBasket, [](F& f, C id) { f.ToggleToolWindow(id); }},
        {C::Exit, [](F& f, C) { f.Exit(); }},
        {C::WallpaperBlank, [](F& f, C) { f.BlankWallpaper(); }},
        {C::WallpaperCustomize, [](F& f, C) { f.Customize(); }},
        {C::Legend,
         [](F& f, C) {
             CLegendDlg legend(&f);
             HelpTopic::Mark(&legend, QStringLiteral("task-list.html#legend"));
             legend.exec();
         }},
        {C::HelpTopics, [](F& f, C) { f.OpenHelp(QString::fromLatin1(HelpTopic::kContents)); }},
        // Context help: the page about the part of the window in use.
        {C::ContextHelp, [](F& f, C) { f.OpenHelp(HelpTopic::For(QApplication::focusWidget())); }},
        {C::About, [](F& f, C) { CAboutDlg(&f).exec(); }},
    };
    return handlers;
}

void CMainFrame::SaveSettingsNow()
{
    SaveFrameSettings();
    if (!m_ctx.autoSaver.SaveNow()) {
        m_ctx.messages.Warning(tr("The settings were not saved. %1 Dromo keeps trying.")
                                   .arg(BaseTexts::Shown(m_ctx.autoSaver.Problem()))
                                   .toStdString());
    }
    ShowSaveProblem();
}

// The speed bar or the drop basket shown or hidden, and remembered so.
void CMainFrame::ToggleToolWindow(CommandId id)
{
    const bool speedBar = id == CommandId::SpeedBar;
    QWidget* window = speedBar ? static_cast<QWidget*>(m_speedBar.get()) : m_basket.get();
    window->setVisible(!window->isVisible());
    auto guard = m_ctx.table.Lock();
    (speedBar ? m_ctx.settings.options.showSpeedBar : m_ctx.settings.options.showDropBasket) =
        window->isVisible() ? 1 : 0;
}

void CMainFrame::BlankWallpaper()
{
    {
        auto guard = m_ctx.table.Lock();
        m_ctx.settings.options.backgroundType = 0;
    }
    m_view->ApplyAppearance();
}

void CMainFrame::MarkHelpTopics()
{
    HelpTopic::Mark(this, QStringLiteral("main-window.html"));
    HelpTopic::Mark(m_view, QStringLiteral("task-list.html"));
    HelpTopic::Mark(m_address, QStringLiteral("main-window.html#address-bar"));
    HelpTopic::Mark(m_speedBar.get(), QStringLiteral("speed-bar.html"));
    HelpTopic::Mark(m_basket.get(), QStringLiteral("drop-basket.html"));
    // The main window's own keys are its actions; the other windows' go
    // through this.
    qApp->installEventFilter(new HelpKeys(
        this, [this](const QString& topic) { OpenHelp(topic); }, this));
}

void CMainFrame::OpenHelp(const QString& topic)
{
    const std::string folder = PlatformPaths::ProgramDataFolder() + "help/";
    const std::string page = folder + topic.toStdString();
    if (!QFileInfo::exists(QString::fromStdString(folder + "index.html"))) {
        m_ctx.messages.Warning(tr("The help pages are not installed.").toStdString());
        return;
    }
    // The desktop may know no program for web pages: the user hears where
    // the guide is, rather than nothing.
    m_ctx.shell.OpenPage(page, [this, folder] {
        m_ctx.messages.Warning(tr("No program to show web pages was found. The guide is in %1; open index.html "
                                  "there with a web browser.")
                                   .arg(QString::fromStdString(folder))
                                   .toStdString());
    });
}

}  // namespace dromo
