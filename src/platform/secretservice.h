#pragma once

#include "base/storage/passwordkeyring.h"

namespace dromo {

// The Secret Service (gnome-keyring, KWallet's bridge, KeePassXC...) through
// libsecret, on the session bus. Its calls are synchronous: the settings
// are saved on the user-interface thread, and waiting here keeps a save
// from running again inside itself, which an event loop would allow.
// Without a service every call fails at once and the profile keeps the
// passwords.
class SecretService : public SecretStore {
public:
    bool Write(const std::string& key, const std::string& secret) override;
    std::optional<std::string> Read(const std::string& key) override;
    bool Delete(const std::string& key) override;
};

}  // namespace dromo
