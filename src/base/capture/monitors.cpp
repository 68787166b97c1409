#include "base/capture/monitors.h"

#include "base/text/textutil.h"

namespace dromo {
namespace {

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

bool IsFtpFile(const std::string& lower)
{
    return (StartsWith(lower, "ftp://") || StartsWith(lower, "ftps://")) && lower.back() != '/';
}

std::string WithoutLeadingBlanks(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

URLMonitor::URLMonitor(Profile& profile) : m_profile(profile)
{
    m_switches.Read(m_profile, kClicksInChromium);
}

bool URLMonitor::Captures(const std::string& lower)
{
    if (IsFtpFile(lower) && m_switches.allFtp) {
        return true;
    }
    return m_switches.clicks && PassesFileTypeTest(lower, m_switches.fileTypes);
}

bool URLMonitor::BeforeNavigate2(const std::string& url, bool ctrl)
{
    if (ctrl) {
        return false;
    }
    m_switches.Read(m_profile, kClicksInChromium);
    if (!m_switches.clicks && !m_switches.allFtp) {
        return false;
    }
    const std::string lower = FoldCase(url);
    // Only web and FTP links; https and ftps are new beside the classic two.
    if (!StartsWith(lower, "ftp://") && !StartsWith(lower, "ftps://") && !StartsWith(lower, "http://") &&
        !StartsWith(lower, "https://")) {
        return false;
    }
    return Captures(lower);
}

std::optional<std::string> URLMonitor::StatusTextChange(const std::string& text, bool ctrl)
{
    if (ctrl) {
        return std::nullopt;
    }
    m_switches.Read(m_profile, kClicksInChromium);
    if (!m_switches.clicks && !m_switches.allFtp) {
        return std::nullopt;
    }
    std::string lower = FoldCase(text);
    std::string original = text;
    static const std::string kEnglish = "start downloading from site:";
    static const std::string kChinese =
        "\xE4\xBB\x8E\xE4\xBB\xA5\xE4\xB8\x8B\xE7\xAB\x99\xE7\x82\xB9"
        "\xE5\xBC\x80\xE5\xA7\x8B\xE4\xB8\x8B\xE8\xBD\xBD:";  // UTF-8
    std::size_t at = lower.find(kEnglish);
    std::size_t cut = kEnglish.size();
    if (at == std::string::npos) {
        at = lower.find(kChinese);
        cut = kChinese.size();
    }
    if (at == std::string::npos) {
        return std::nullopt;
    }
    lower = WithoutLeadingBlanks(lower.substr(at + cut));
    original = WithoutLeadingBlanks(original.substr(at + cut));
    if (!Captures(lower)) {
        return std::nullopt;
    }
    return original;
}

NVMonitor::NVMonitor(Profile& profile) : m_profile(profile)
{
    m_switches.Read(m_profile, kClicksInFirefox);
}

bool NVMonitor::Initialize(const std::string& protocol, const std::string& url)
{
    m_switches.Read(m_profile, kClicksInFirefox);
    if (!m_switches.clicks && !m_switches.allFtp) {
        return false;
    }
    const std::string p = FoldCase(protocol);
    if (StartsWith(p, "ftp") && !p.empty() && p.back() != '/' && m_switches.allFtp) {
        return true;
    }
    return m_switches.clicks && PassesFileTypeTest(url, m_switches.fileTypes);
}

}  // namespace dromo
