#include "base/core/passwordkeyring.h"

#include "base/core/globaloptions.h"
#include "base/ports/profile.h"

namespace dromo {
namespace {

// One keyring entry per profile value: the section and the value name.
std::string KeyOf(const std::string& section, const std::string& name)
{
    return section + "/" + name;
}

}  // namespace

bool PasswordKeyring::Save(Profile& profile, const std::string& section, const std::string& name,
                           const std::string& password)
{
    const std::string key = KeyOf(section, name);
    const std::string marker = MarkerName(name);
    bool held = false;
    if (password.empty() && m_unread.count(key)) {
        held = true;  // still only in the keyring: keep pointing there
    } else if (!password.empty() && !EqualsIgnoreCase(password, kDefaultPassword)) {
        const auto known = m_held.find(key);
        held = (known != m_held.end() && known->second == password) || m_secrets.Write(key, password);
    }
    if (!held) {
        if (profile.GetInt(section, marker, 0) != 0) {
            profile.WriteInt(section, marker, 0);
        }
        return false;
    }
    if (!password.empty()) {
        m_held[key] = password;
        m_unread.erase(key);
    }
    profile.WriteString(section, name, "");
    profile.WriteInt(section, marker, 1);
    return true;
}

std::optional<std::string> PasswordKeyring::Load(Profile& profile, const std::string& section,
                                                 const std::string& name)
{
    if (profile.GetInt(section, MarkerName(name), 0) == 0) {
        return std::nullopt;
    }
    const std::string key = KeyOf(section, name);
    std::optional<std::string> password = m_secrets.Read(key);
    if (!password) {
        m_unread.insert(key);
        return std::string();
    }
    m_held[key] = *password;
    return password;
}

}  // namespace dromo
