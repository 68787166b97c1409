#include "base/storage/passwordkeyring.h"

#include <algorithm>

#include "base/ports/profile.h"
#include "base/values/globaloptions.h"

namespace dromo {
namespace {

const std::string kOrphansSection = "Settings";
const std::string kOrphansName = "Keyring Orphans";
constexpr std::size_t kIdLength = 16;

// An entry is named by its section and its identifier.
std::string KeyOf(const std::string& section, const std::string& id)
{
    return section + "/" + id;
}

// Identifiers given out since entries have them: 16 lower-case hex digits.
// Anything else is the value name an earlier version keyed the entry by.
bool IsOwnId(const std::string& id)
{
    return id.size() == kIdLength &&
           std::all_of(id.begin(), id.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace

PasswordKeyring::PasswordKeyring(SecretStore& secrets) : m_secrets(secrets), m_random(std::random_device{}())
{
}

bool PasswordKeyring::Save(Profile& profile, const std::string& section, const std::string& name,
                           const std::string& password, const std::string& id)
{
    std::lock_guard lock(m_mutex);
    TakeListedOrphans(profile);
    const std::string key = EntryFor(section, password, id);
    const std::string marker = MarkerName(name);
    if (key.empty()) {
        if (profile.GetInt(section, marker, 0) != 0) {
            profile.WriteInt(section, marker, 0);
        }
        if (!profile.GetString(section, IdName(name), "").empty()) {
            profile.WriteString(section, IdName(name), "");
        }
        return false;
    }
    m_named[section].insert(key);
    profile.WriteString(section, name, "");
    profile.WriteInt(section, marker, 1);
    profile.WriteString(section, IdName(name), key.substr(section.size() + 1));
    return true;
}

std::string PasswordKeyring::EntryFor(const std::string& section, const std::string& password, const std::string& id)
{
    if (password.empty()) {
        // Read as "" because the keyring would not give it: it is still only
        // there, so the row keeps pointing at its entry.
        const std::string key = KeyOf(section, id);
        return !id.empty() && m_unread.count(key) ? key : std::string();
    }
    if (EqualsIgnoreCase(password, kDefaultPassword)) {
        return {};
    }
    if (IsOwnId(id) && Holds(KeyOf(section, id), password)) {
        return KeyOf(section, id);
    }
    // A new or changed password, or one still under a row-named entry: an
    // entry of its own, the same one at every save of this run.
    std::string& fresh = m_fresh[section + '\n' + password];
    if (fresh.empty()) {
        fresh = NewId(section);
    }
    std::string key = KeyOf(section, fresh);
    if (Holds(key, password)) {
        return key;
    }
    if (!m_secrets.Write(key, password)) {
        return {};
    }
    m_known.insert(key);
    m_held[key] = password;
    return key;
}

bool PasswordKeyring::Holds(const std::string& key, const std::string& password) const
{
    const auto held = m_held.find(key);
    return held != m_held.end() && held->second == password;
}

std::string PasswordKeyring::NewId(const std::string& section)
{
    static const char kDigits[] = "0123456789abcdef";
    for (;;) {
        std::uint64_t bits = m_random();
        std::string id(kIdLength, '0');
        for (char& c : id) {
            c = kDigits[bits & 15];
            bits >>= 4;
        }
        if (m_known.count(KeyOf(section, id)) == 0) {
            return id;
        }
    }
}

std::optional<PasswordKeyring::Kept> PasswordKeyring::Load(Profile& profile, const std::string& section,
                                                           const std::string& name)
{
    std::lock_guard lock(m_mutex);
    TakeListedOrphans(profile);
    if (profile.GetInt(section, MarkerName(name), 0) == 0) {
        return std::nullopt;
    }
    std::string id = profile.GetString(section, IdName(name), "");
    if (id.empty()) {
        id = name;  // marked before entries had identifiers
    }
    const std::string key = KeyOf(section, id);
    m_known.insert(key);
    std::optional<std::string> password = m_secrets.Read(key);
    if (!password) {
        m_unread.insert(key);
        return Kept{std::string(), id};
    }
    m_held[key] = *password;
    return Kept{*password, id};
}

std::optional<std::string> PasswordKeyring::Recall(const std::string& section, const std::string& id)
{
    std::lock_guard lock(m_mutex);
    const std::string key = KeyOf(section, id);
    if (const auto held = m_held.find(key); held != m_held.end()) {
        return held->second;
    }
    if (id.empty() || m_unread.count(key) == 0) {
        return std::nullopt;
    }
    // Still marked unread: whoever held "" for it (a list, a task not asked
    // yet) keeps pointing at the entry when it is saved.
    std::optional<std::string> password = m_secrets.Read(key);
    if (password) {
        m_held[key] = *password;
    }
    return password;
}

void PasswordKeyring::Sweep(Profile& profile, const std::string& section)
{
    std::lock_guard lock(m_mutex);
    TakeListedOrphans(profile);
    std::set<std::string>& named = m_named[section];
    const std::string prefix = section + "/";
    const std::set<std::string> listed = m_orphans;
    for (auto it = m_known.lower_bound(prefix); it != m_known.end() && it->compare(0, prefix.size(), prefix) == 0;) {
        const std::string key = *it;
        if (named.count(key)) {
            m_orphans.erase(key);
            ++it;
            continue;
        }
        // Once the keyring refused, the rest wait for a later run: asking a
        // locked keyring again at every save would only ask the user again.
        if (!m_deletesRefused && m_secrets.Delete(key)) {
            m_held.erase(key);
            m_unread.erase(key);
            m_orphans.erase(key);
            it = m_known.erase(it);
            continue;
        }
        m_deletesRefused = true;
        m_orphans.insert(key);
        ++it;
    }
    named.clear();
    if (m_orphans != listed) {
        ListOrphans(profile);
    }
}

void PasswordKeyring::TakeListedOrphans(Profile& profile)
{
    if (m_orphansTaken) {
        return;
    }
    m_orphansTaken = true;
    const std::string listed = profile.GetString(kOrphansSection, kOrphansName, "");
    std::size_t start = 0;
    while (start < listed.size()) {
        std::size_t end = listed.find(' ', start);
        if (end == std::string::npos) {
            end = listed.size();
        }
        if (end > start) {
            const std::string key = listed.substr(start, end - start);
            m_orphans.insert(key);
            m_known.insert(key);
        }
        start = end + 1;
    }
}

void PasswordKeyring::ListOrphans(Profile& profile) const
{
    std::string listed;
    for (const std::string& key : m_orphans) {
        if (key.find(' ') != std::string::npos) {
            continue;  // only a hand-made identifier has one; such an entry stays
        }
        listed += (listed.empty() ? "" : " ") + key;
    }
    profile.WriteString(kOrphansSection, kOrphansName, listed);
}

}  // namespace dromo
