#pragma once

#include <string>
#include <vector>

namespace dromo {

class Profile;

// The capture switches the options page writes into "Settings", as a
// browser monitor reads them before every event.
struct CaptureSwitches {
    bool clicks = false;                 // "Capture Clicks in IE" or "... in NV"
    bool allFtp = false;                 // "Capture All FTP"
    bool startWithBrowser = false;       // "Start with Browser"
    std::vector<std::string> fileTypes;  // "Capture File Types", split at every single blank

    // Reads the switches the classic way: the values of "Settings" are
    // visited in turn, each whose name contains one of the four names counts,
    // and the read succeeds once four were counted. A failed read leaves the
    // clicks and all-FTP switches as they were before it.
    bool Read(Profile& profile, const std::string& clicksName);
};

inline constexpr const char* kClicksInChromium = "Capture Clicks in IE";
inline constexpr const char* kClicksInFirefox = "Capture Clicks in NV";

// A URL passes when it holds none of "?", "=" and "&" and the text after its
// last "." (all of it without one) equals a listed type exactly.
bool PassesFileTypeTest(const std::string& url, const std::vector<std::string>& fileTypes);

}  // namespace dromo
