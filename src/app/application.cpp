#include "app/application.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>

#include "app/signals.h"
#include "gui/capture/curlhook.h"
#include "gui/mainwindow/cmainview.h"
#include "platform/desktopintegration.h"

namespace dromo {

// A late binding of the graph (docs/ARCHITECTURE.md lists them all): the
// completion's way out of the program is the window's Exit, and the window
// is built over the completion. The completion takes it only when the last
// download ends, long after the window is built.
Application::Application(const AppPorts& ports)
    : ports(ports),
      core(table, DownloadPorts{ports.clock, ports.messages, ports.shell, ports.sound, ports.engines, model},
           CompletionPorts{ports.network, ports.power, ports.countdown, [this] { frame->RunCommand(CommandId::Exit); },
                           ports.historyPath})
{
    // Passwords live in the desktop's keyring where one takes them.
    if (ports.secrets) {
        keyring = std::make_unique<PasswordKeyring>(*ports.secrets);
        store.UseKeyring(keyring.get());
        core.pool.UseKeyring(keyring.get());  // before the load starts any worker
    }
    addresses.Load(ports.profile);
    frame = std::make_unique<CMainFrame>(context, model);
    model.SetForwarding(frame.get());
}

Application::~Application()
{
    if (frame) {
        frame->WatchClipboard(nullptr);  // its notices go with m_desktop, before the window
    }
    core.StopAndJoin();
}

int Application::Run(const StartupOptions& args, const std::string& profileNotice, EndSignals& endSignals)
{
    // The capture object: started by D-Bus activation it serves at once;
    // any other start first (re)writes the service file that lets a call
    // start Dromo. Failing to own the name is not reported.
    if (!args.ShowMinimised()) {
        CURLHook::WriteServiceFile(QCoreApplication::applicationFilePath());
    }
    m_hook = std::make_unique<CURLHook>(
        [this](const QString& url, CURLHook::Done done) { frame->Desk().HandOverUrl(url, std::move(done)); });
    m_hook->SetUrlsHandOver([this](const QStringList& urls, CURLHook::DoneMany done) {
        frame->Desk().HandOverUrls(urls, std::move(done));
    });
    m_hook->SetDownloadHandOver([this](const QString& url, const DownloadDetails& details, CURLHook::Done done) {
        frame->Desk().HandOverDownload(url, details, std::move(done));
    });
    m_hook->SetLinksOffer([this](const std::vector<OfferedLink>& links) { return frame->OfferLinks(links); });
    m_hook->Register();

    // The view's first display: the options, the saved tasks, the lists.
    autoSaver.RunLoad([this] { store.Load(settings, core.adder, ports.network); });
    frame->ListRestored();
    frame->ShowNotice(profileNotice);
    frame->ShowNotice(store.UnloadedTasksMessage());
    // A fresh account may have no download folder yet; like the options
    // sheet's OK, make "Save to" (one level; a failure shows in the tasks).
    QDir().mkdir(QString::fromStdString(settings.options.saveTo));
    frame->View().ApplyAppearance();
    frame->PlaceToolWindows();

    endSignals.EndSessionOn(frame.get(), [this] { frame->EndSession(); });

    // Notices of finished downloads and no idle suspend while one runs,
    // each where the desktop offers it.
    m_desktop = std::make_unique<DesktopIntegration>(table, core.state, settings.options, core.ProgramCompletion(),
                                                     ports.shell);
    frame->WatchClipboard(&m_desktop->Notifier());
    // A notice's "Download" is a URL from outside, as a browser's would be.
    QObject::connect(&m_desktop->Notifier(), &DesktopNotifier::DownloadWanted, frame.get(),
                     [this](const QString& url) { frame->Desk().AddUrl(url); });

    // Taken as hand-overs are, so a long command line costs a few saves.
    for (const std::string& url : args.urls) {
        frame->Desk().HandOverUrl(QString::fromStdString(url), [](const QString&) {});
    }
    frame->ShowAtStart(args.ShowMinimised());
    frame->setWindowTitle(QString::fromLatin1(kAppTitle));
    const int result = QApplication::exec();
    // Everything is saved by now. A worker that did not end within the exit's
    // bound must not hold the exit up, nor outlive the objects it uses.
    if (!core.pool.JoinIfAllEnded()) {
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}

}  // namespace dromo
