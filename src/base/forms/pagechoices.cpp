#include "base/forms/pagechoices.h"

#include <cctype>

namespace dromo {
namespace {

int LeadingNumber(std::string_view text)
{
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > 100000) {
            break;  // far past any hour or minute the picker takes
        }
    }
    return static_cast<int>(value);
}

}  // namespace

int HttpVersionChoice(std::string_view version)
{
    for (std::size_t i = 0; i < kHttpVersions.size(); ++i) {
        if (version == kHttpVersions[i]) {
            return static_cast<int>(i);
        }
    }
    return 1;
}

int UserAgentChoice(std::string_view agent)
{
    if (agent == kUserAgents[2]) {
        return 2;
    }
    return agent == kUserAgents[1] ? 1 : 0;
}

int AutoSaveChoice(std::string_view stored)
{
    for (std::size_t i = 0; i < kAutoSaveSteps.size(); ++i) {
        const std::string_view step = kAutoSaveSteps[i];
        if (stored.size() > step.size()) {
            continue;
        }
        bool begins = true;
        for (std::size_t k = 0; k < stored.size(); ++k) {
            if (std::tolower(static_cast<unsigned char>(step[k])) !=
                std::tolower(static_cast<unsigned char>(stored[k]))) {
                begins = false;
                break;
            }
        }
        if (begins) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ProxyChoiceOnShow(int choice, int count)
{
    if (count <= 0) {
        return -1;
    }
    return choice <= 0 || choice >= count ? 0 : choice;
}

std::optional<TimeOfDay> StartTimeOnShow(std::string_view text)
{
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        text = "20:00";
        colon = 2;
    }
    const TimeOfDay time{LeadingNumber(text.substr(0, colon)), LeadingNumber(text.substr(colon + 1))};
    if (time.hour > 23 || time.minute > 59) {
        return std::nullopt;
    }
    return time;
}

std::string StartTimeText(TimeOfDay time)
{
    return std::to_string(time.hour) + ":" + std::to_string(time.minute);
}

std::string SoundColumnText(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsAutoScanProgram(std::string_view path)
{
    constexpr std::string_view kName = "scan32.exe";
    if (path.size() < kName.size()) {
        return false;
    }
    const std::string_view tail = path.substr(path.size() - kName.size());
    for (std::size_t i = 0; i < kName.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kName[i]) {
            return false;
        }
    }
    return true;
}

std::string WithTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace dromo
