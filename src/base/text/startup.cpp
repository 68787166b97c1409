#include "base/text/startup.h"

#include "base/text/metalinkdocument.h"
#include "base/values/globaloptions.h"

namespace dromo {
namespace {

// The switches a program started as an automation server has always been
// given: "/Automation" or "-Automation", in any letter case.
bool IsClassicSwitch(const std::string& arg, std::string_view name)
{
    return arg.size() == name.size() + 1 && (arg[0] == '/' || arg[0] == '-') &&
           EqualsIgnoreCase(arg.substr(1), std::string(name));
}

}  // namespace

StartupOptions ParseCommandLine(const std::vector<std::string>& args)
{
    StartupOptions options;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        // The classic switches begin with "/" as a local path does: they
        // are looked for first, wherever they stand among the URLs.
        const bool isUrl = arg.empty() || arg[0] != '-';
        if (optionsEnded) {
            options.urls.push_back(arg);
            continue;
        }
        if (arg == "--automation" || IsClassicSwitch(arg, "Automation")) {
            options.automation = true;
        } else if (arg == "--embedding" || IsClassicSwitch(arg, "Embedding")) {
            options.embedding = true;
        } else if (isUrl) {
            options.urls.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (options.error.empty()) {
            options.error = "unknown option: " + arg;
        }
    }
    return options;
}

std::string AbsoluteMetalinkArgument(const std::string& arg, const std::string& currentFolder)
{
    if (!IsMetalinkName(arg) || arg.empty() || arg.front() == '/' || arg.find("://") != std::string::npos ||
        currentFolder.empty()) {
        return arg;
    }
    const std::string relative = arg.rfind("./", 0) == 0 ? arg.substr(2) : arg;
    return currentFolder + (currentFolder.back() == '/' ? "" : "/") + relative;
}

bool MayStart(std::int32_t allowMultiInstance, bool otherInstanceRunning)
{
    return allowMultiInstance != 0 || !otherInstanceRunning;
}

std::string FormatMemoryText(std::uint64_t totalBytes)
{
    const std::string digits = std::to_string(totalBytes / 1024);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out + " KB";
}

}  // namespace dromo
