// tessarin: Dromo's native messaging host. A browser's extension starts it
// and talks to it over stdin and stdout; it answers by the capture rules
// and hands captured downloads to Dromo over D-Bus.

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QString>

#include <cstdio>
#include <cstring>

#include "monitor/handoverqueue.h"
#include "monitor/nativemessaging.h"
#include "monitor/registration.h"
#include "monitor/tessarinhost.h"
#include "platform/settingsprofile.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessarin --register | --unregister [--user-data-dir DIR]\n"
    "\n"
    "Tessarin is Dromo's browser capture host. Its browser extension starts it and\n"
    "asks it, message by message on stdin and stdout, whether a link or a download\n"
    "is one for Dromo.\n"
    "\n"
    "  --register        let the browsers start this host: write its manifest for\n"
    "                    Chromium, Google Chrome, Microsoft Edge, Brave and Firefox\n"
    "  --unregister      remove those manifests\n"
    "  --user-data-dir DIR\n"
    "                    only for a Chromium-family browser started with this\n"
    "                    --user-data-dir\n"
    "  --help            show this text\n";

int Register(int argc, char** argv, bool add)
{
    using dromo::Registration;
    std::vector<Registration::Target> targets;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--user-data-dir") == 0 && i + 1 < argc) {
            targets.push_back(Registration::ProfileTarget(QString::fromLocal8Bit(argv[++i])));
        } else {
            std::fprintf(stderr, "tessarin: unknown option %s\n\n%s", argv[i], kUsage);
            return 2;
        }
    }
    if (targets.empty()) {
        targets = Registration::UserTargets(QDir::homePath(),
                                            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    QStringList errors;
    const QString host = QCoreApplication::applicationFilePath();
    const bool ok = add ? Registration::Write(targets, host, errors) : Registration::Remove(targets, errors);
    for (const auto& t : targets) {
        if (!errors.join('\n').contains(t.manifestPath)) {
            std::printf("%s: %s %s\n", qPrintable(t.browser), add ? "wrote" : "removed", qPrintable(t.manifestPath));
        }
    }
    for (const QString& e : errors) {
        std::fprintf(stderr, "tessarin: %s\n", qPrintable(e));
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace dromo;
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QCoreApplication app(argc, argv);
    if (argc > 1 && (std::strcmp(argv[1], "--register") == 0 || std::strcmp(argv[1], "--unregister") == 0)) {
        return Register(argc, argv, std::strcmp(argv[1], "--register") == 0);
    }
    // Anything else on the command line is what the browser passes: the
    // extension's origin (Chromium), or the manifest and the add-on id
    // (Firefox).
    SettingsProfile profile;
    TessarinHost host(profile, [] { return DromoReachable(); });
    HandOverQueue calls;
    // Monitor creation.
    if (host.StartWithBrowser()) {
        calls.Add([] { StartDromo(); });
    }
    NativeMessaging channel(stdin, stdout);
    std::string message;
    for (;;) {
        const NativeMessaging::Status status = channel.Read(message);
        if (status == NativeMessaging::Status::TooLarge) {
            channel.Write("{\"error\":\"message too large\"}");
            return 1;  // the rest of that frame cannot be told from the next
        }
        if (status == NativeMessaging::Status::EndOfInput) {
            return 0;  // after `calls` has finished what is queued
        }
        static_cast<void>(profile.Flush());  // read the switches as the options page left them
        const TessarinHost::Answer answer = host.Handle(QByteArray::fromStdString(message));
        if (!channel.Write(answer.reply.toStdString())) {
            return 0;
        }
        // Answer first: the browser must not wait while Dromo starts or
        // asks about the URL.
        if (answer.handOver) {
            calls.Add([handOver = *answer.handOver] { HandToDromo(handOver); });
        }
        if (!answer.links.empty()) {
            calls.Add([links = answer.links] { OfferLinksToDromo(links); });
        }
    }
}
