#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "base/ports/secretstore.h"

namespace dromo {

class Profile;

// Keeps the profile's passwords in the keyring where one runs. A password
// the keyring confirmed is written to the profile as "" with a marker value
// (the password's value name followed by " Keyring", set to 1); anything
// the keyring did not confirm stays in the profile as before, so a save
// never drops a password that is nowhere else. The first save after an
// upgrade moves the existing profile passwords over this way.
//
// Empty passwords and the default FTP placeholder stay in the profile:
// they are no secret.
class PasswordKeyring {
public:
    explicit PasswordKeyring(SecretStore& secrets) : m_secrets(secrets) {}

    // Saving: true when the keyring holds `password` and the profile got ""
    // and the marker; false when the caller must write the password into
    // the profile as before (a marker left from earlier is cleared).
    bool Save(Profile& profile, const std::string& section, const std::string& name, const std::string& password);
    // Loading: the password when the profile's marker says the keyring
    // holds it; nothing when the profile holds it itself. A password the
    // keyring cannot give now (locked, not running) reads as "" and keeps
    // its marker at the next save, so it is not lost.
    std::optional<std::string> Load(Profile& profile, const std::string& section, const std::string& name);

    static std::string MarkerName(const std::string& name) { return name + " Keyring"; }

private:
    SecretStore& m_secrets;
    std::map<std::string, std::string> m_held;  // key -> what the keyring confirmed holding
    std::set<std::string> m_unread;             // marked keys the keyring could not give
};

}  // namespace dromo
