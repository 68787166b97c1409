#include "base/commands/addresshistory.h"

#include <algorithm>

#include "base/commands/taskadder.h"
#include "base/ports/profile.h"
#include "base/text/textutil.h"
#include "base/values/globaloptions.h"

namespace dromo {

AddressHistory::AddressHistory(TaskAdder& adder, const GlobalOptions& options) : m_adder(adder), m_options(options)
{
}

void AddressHistory::Insert(const std::string& typed)
{
    // Remembered without a login: the list is shown to whoever sits at the
    // screen and stored in the profile.
    const std::string url = UrlWithoutLogin(typed);
    // A text with a line break in it is no address to go back to: the add
    // refuses it, and the box shows one line.
    if (url.size() > kEntryLimit || HoldsControlCharacter(url)) {
        return;
    }
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (EqualsIgnoreCase(*it, url)) {
            m_entries.erase(std::next(it).base());
            break;
        }
    }
    m_entries.insert(m_entries.begin(), url);
    if (static_cast<int>(m_entries.size()) > m_options.maxHistoryItem && !m_entries.empty()) {
        m_entries.pop_back();
    }
}

std::optional<AddResult> AddressHistory::QuickAdd(const std::string& url)
{
    if (url.empty() || url.back() == '/') {
        return std::nullopt;
    }
    Insert(url);
    return m_adder.AddTask(url, "");
}

std::optional<AddResult> AddressHistory::DialogAdd(const std::string& url, const TaskRecord& record)
{
    if (url.empty() || url.back() == '/') {
        return std::nullopt;
    }
    Insert(url);
    return m_adder.AddTaskFromRecord(url, record);
}

std::optional<AddResult> AddressHistory::DownloadAdd(const std::string& url, const DownloadDetails& details)
{
    if (url.empty() || (url.back() == '/' && details.fileName.empty())) {
        return std::nullopt;
    }
    Insert(url);
    return m_adder.AddDownload(url, details);
}

std::string Refusal(const std::optional<AddResult>& result)
{
    return result ? AddResultMessage(*result) : kNothingToAdd;
}

void AddressHistory::Load(Profile& profile)
{
    m_shown = profile.GetInt("Settings", "Show Address Bar", 1) != 0;
    const int count = profile.GetInt("Settings", "MRU List Num", 0);
    m_entries.clear();
    // Bounded by what is stored, not by the count a file claims.
    const auto names = profile.ValueNames("History");
    const int stored = static_cast<int>(names.size());
    for (int i = 0; i < count && i < stored; ++i) {
        // Earlier versions kept logins; they go at the next save.
        std::string url = UrlWithoutLogin(profile.GetString("History", "URL" + std::to_string(i), ""));
        if (!url.empty() && url.size() <= kEntryLimit) {
            m_entries.push_back(std::move(url));
        }
    }
}

void AddressHistory::Save(Profile& profile) const
{
    profile.WriteInt("Settings", "Show Address Bar", m_shown ? 1 : 0);
    profile.WriteInt("Settings", "MRU List Num", static_cast<std::int32_t>(m_entries.size()));
    // Rewritten whole: entries past the count, from a longer list or an
    // earlier version (with logins), do not linger in the file.
    profile.DeleteSection("History");
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        profile.WriteString("History", "URL" + std::to_string(i), m_entries[i]);
    }
}

}  // namespace dromo
