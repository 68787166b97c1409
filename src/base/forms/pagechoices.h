#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace dromo {

// How the pages shared by the task sheet and the options sheet pick what
// to show from a stored text, and what they store back.

// The three user agents, in the order of the Protocol page's list.
inline constexpr std::array<const char*, 3> kUserAgents = {
    "Dromo/1.03 [en]",
    "Mozilla/5.0 (compatible; MSIE 5.0; Windows 98)",
    "Mozilla/4.6 [en] (Win98; I)",
};

// The HTTP versions, in the order of the radio buttons: "2" asks for
// HTTP/2 where a server offers it over TLS, HTTP/1.1 elsewhere.
inline constexpr std::array<const char*, 4> kHttpVersions = {"2", "1.1", "1.0", "0.9"};

// The auto-save steps in KB, in list order.
inline constexpr std::array<const char*, 7> kAutoSaveSteps = {"16", "32", "64", "128", "256", "512", "1024"};

// The radio button for a stored version: exact "2", "0.9" or "1.0", else
// 1.1 (what the engine speaks for a version it does not know).
int HttpVersionChoice(std::string_view version);
// The list entry for a stored agent (exact comparison), else entry 0.
int UserAgentChoice(std::string_view agent);
// The first step whose text begins with the stored one, ignoring case;
// -1 when none does.
int AutoSaveChoice(std::string_view stored);
// The proxy selected when the Proxy page opens: the stored choice when it
// is a valid index above 0, else the first; -1 for an empty list.
int ProxyChoiceOnShow(int choice, int count);

// The Schedule page's start time. On showing, a text without ":" reads as
// "20:00"; hour and minute are the leading digits on either side of the
// first ":". Nothing when the picker cannot show it (hour above 23, minute
// above 59).
struct TimeOfDay {
    int hour = 0;
    int minute = 0;
};
std::optional<TimeOfDay> StartTimeOnShow(std::string_view text);
// What the page stores: decimal hour and minute without leading zeros.
std::string StartTimeText(TimeOfDay time);

// The Sounds page shows the file name of a stored path.
std::string SoundColumnText(std::string_view path);
// A scanner program whose path ends in "scan32.exe" (any case) runs with
// "/AUTOSCAN".
bool IsAutoScanProgram(std::string_view path);

// A folder chosen or typed for saving ends in "/".
std::string WithTrailingSlash(std::string folder);

}  // namespace dromo
