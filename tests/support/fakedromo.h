#pragma once

// python3-dbusmock standing in for Dromo's capture object DROMO.URLMonitor
// at /URLMonitor on the session bus, for the tests of the browser host.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/support/testservers.h"

namespace dromo::test {

// Every call is logged to `log` (dbusmock's own lines: `AddURL "URL"`).
// With `addDownload`, the object has AddDownload(s, a{ss}) as well, which
// also writes one line per call to `log` + ".details": the URL, then
// key=value for each detail, keys sorted, separated by single spaces (a
// backslash, tab and line feed in a value written \\, \t and \n, so a cookie
// jar stays on its line); and AddDownloads(a(sa{ss})), which writes to
// `log` + ".links" a line "call N" (N links) and then one such line per link.
inline std::unique_ptr<ChildProcess> StartFakeDromo(QDBusConnection& bus, const std::string& log, bool addDownload)
{
    auto dromo = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/python3", "-m", "dbusmock",
                                                                         "--session", "-l", log, "DROMO.URLMonitor",
                                                                         "/URLMonitor", "DROMO.URLMonitor"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!bus.interface()->isServiceRegistered(QStringLiteral("DROMO.URLMonitor"))) {
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the stand-in for Dromo did not come up");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    auto addMethod = [&bus](const QString& name, const QString& signature, const std::string& code) {
        QDBusMessage add =
            QDBusMessage::createMethodCall("DROMO.URLMonitor", "/URLMonitor", "org.freedesktop.DBus.Mock", "AddMethod");
        add << QString("DROMO.URLMonitor") << name << signature << QString("") << QString::fromStdString(code);
        if (bus.call(add).type() != QDBusMessage::ReplyMessage) {
            throw std::runtime_error("the stand-in for Dromo refused " + name.toStdString());
        }
    };
    addMethod("AddURL", "s", "");
    // The method's code runs alone: each body says how a value is written.
    const std::string shown =
        "shown = lambda v: v.replace('\\\\', '\\\\\\\\').replace('\\t', '\\\\t').replace('\\n', '\\\\n')\n";
    if (addDownload) {
        addMethod("AddDownload", "sa{ss}",
                  shown +
                      "line = args[0]\n"
                      "for key in sorted(args[1]):\n"
                      "    line += ' %s=%s' % (key, shown(args[1][key]))\n"
                      "with open('" +
                      log +
                      ".details', 'a') as f:\n"
                      "    f.write(line + '\\n')");
        addMethod("AddDownloads", "a(sa{ss})",
                  shown + "with open('" + log +
                      ".links', 'a') as f:\n"
                      "    f.write('call %d\\n' % len(args[0]))\n"
                      "    for url, details in args[0]:\n"
                      "        line = url\n"
                      "        for key in sorted(details):\n"
                      "            line += ' %s=%s' % (key, shown(details[key]))\n"
                      "        f.write(line + '\\n')");
    }
    return dromo;
}

}  // namespace dromo::test
