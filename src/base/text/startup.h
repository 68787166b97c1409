#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dromo {

inline constexpr const char* kAppTitle = "Dromo 1.04";
inline constexpr const char* kAlreadyRunningMessage = "Dromo already starts up.";

// What the command line asks of this start.
struct StartupOptions {
    bool automation = false;  // started to serve the capture object
    bool embedding = false;
    bool help = false;
    bool version = false;  // print the version and end
    bool trace = false;    // "[trace]" lines on standard error, as DROMO_TRACE=1
    std::vector<std::string> urls;
    std::string error;  // set for an option this program does not know

    // Started by D-Bus activation: the main window comes up minimised.
    bool ShowMinimised() const { return automation || embedding; }
};

StartupOptions ParseCommandLine(const std::vector<std::string>& args);

// An argument that names a local Metalink file by a relative path
// ("dromo image.meta4"), made absolute from the folder this start was run
// in: the running instance that may take it over has another. Every other
// argument is given back as it is.
std::string AbsoluteMetalinkArgument(const std::string& arg, const std::string& currentFolder);

// A second instance may start only with "Allow Multi Instance" on.
bool MayStart(std::int32_t allowMultiInstance, bool otherInstanceRunning);

// The About box's memory line: kilobytes with "," between groups of three
// digits and " KB" after them ("4,194,303 KB").
std::string FormatMemoryText(std::uint64_t totalBytes);

}  // namespace dromo
