// tessarin: Dromo's native messaging host. A browser's extension starts it
// and talks to it over stdin and stdout; it answers by the capture rules
// and hands captured URLs to Dromo over D-Bus.

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstring>

#include "nativemessaging.h"
#include "settingsprofile.h"
#include "tessarinhost.h"

int main(int argc, char** argv)
{
    using namespace dromo;
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fprintf(stderr,
                     "tessarin: Dromo's browser capture host. The browser extension starts it;\n"
                     "it reads native messages on stdin and answers on stdout.\n");
        return 0;
    }
    QCoreApplication app(argc, argv);
    SettingsProfile profile;
    TessarinHost host(profile);
    // Monitor creation.
    if (host.StartWithBrowser()) {
        StartDromo();
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
            return 0;
        }
        profile.Flush();  // read the switches as the options page left them
        const TessarinHost::Answer answer = host.Handle(QByteArray::fromStdString(message));
        if (!channel.Write(answer.reply.toStdString())) {
            return 0;
        }
        // Answer first: the browser must not wait while Dromo starts or
        // asks about the URL.
        if (!answer.capturedUrl.empty()) {
            HandUrlToDromo(answer.capturedUrl);
        }
    }
}
