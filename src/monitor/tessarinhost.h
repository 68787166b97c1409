#pragma once

#include <QByteArray>
#include <memory>
#include <string>

namespace dromo {

class NVMonitor;
class Profile;
class URLMonitor;

// One browser's capture monitor: answers the extension's messages by the
// capture rules and hands captured URLs to Dromo.
class TessarinHost {
public:
    explicit TessarinHost(Profile& profile);
    ~TessarinHost();

    // The reply to one message, and the URL to hand over ("" for none).
    struct Answer {
        QByteArray reply;
        std::string capturedUrl;
    };
    Answer Handle(const QByteArray& message);

    // Monitor creation: with "Start with Browser" on, Dromo is started now.
    bool StartWithBrowser();

private:
    Profile& m_profile;
    std::unique_ptr<URLMonitor> m_urlMonitor;
    std::unique_ptr<NVMonitor> m_nvMonitor;
};

// Hands a URL to Dromo over a fresh session-bus connection and waits for its
// answer; D-Bus activation starts Dromo when it is not running. Failures are
// dropped without a word, as the browser must not be disturbed.
void HandUrlToDromo(const std::string& url);
// Asks the bus to start Dromo (for "Start with Browser").
void StartDromo();

}  // namespace dromo
