#pragma once

#include <optional>
#include <string>

#include "base/capture/captureswitches.h"

namespace dromo {

class Profile;

// The capture monitor of the Chromium-family browsers: decides, from the
// switches it reads again before each event, whether a link click or a
// download the browser started is a download for Dromo.
class URLMonitor {
public:
    explicit URLMonitor(Profile& profile);

    const CaptureSwitches& Switches() const { return m_switches; }

    // A link is about to be followed. True: capture it (the browser must not
    // follow it; the URL, as received, goes to Dromo).
    bool BeforeNavigate2(const std::string& url, bool ctrl);
    // The browser shows a status text; a download it starts reads "Start
    // downloading from site: URL". The URL to capture, or nothing.
    std::optional<std::string> StatusTextChange(const std::string& text, bool ctrl);
    void OnQuit() {}

private:
    bool Captures(const std::string& lower);

    Profile& m_profile;
    CaptureSwitches m_switches;
};

// The capture monitor of Firefox: asked about every top-level request.
class NVMonitor {
public:
    explicit NVMonitor(Profile& profile);

    const CaptureSwitches& Switches() const { return m_switches; }

    // True (the classic retVal 1): capture the URL, the browser drops it.
    bool Initialize(const std::string& protocol, const std::string& url);
    void Open(const std::string&) {}

private:
    Profile& m_profile;
    CaptureSwitches m_switches;
};

}  // namespace dromo
