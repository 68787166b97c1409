#pragma once

#include "base/storage/passwordkeyring.h"

namespace dromo {

// The Secret Service (gnome-keyring, KWallet's bridge, KeePassXC...) through
// libsecret, on the session bus. Its calls are synchronous, so no event loop
// runs a save again inside itself; the task list's passwords are saved on
// the profile's writer thread (libsecret's synchronous calls make a main
// context of their own there), the options' and lists' on the window's.
// Without a service every call fails at once and the profile keeps the
// passwords.
class SecretService : public SecretStore {
public:
    bool Write(const std::string& key, const std::string& secret) override;
    std::optional<std::string> Read(const std::string& key) override;
    bool Delete(const std::string& key) override;
};

}  // namespace dromo
