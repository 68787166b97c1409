#pragma once

#include <optional>
#include <string>

namespace dromo {

// The desktop's keyring (the Secret Service) as the settings need it.
class SecretStore {
public:
    virtual ~SecretStore() = default;
    // True only when the keyring confirmed that it holds the secret.
    virtual bool Write(const std::string& key, const std::string& secret) = 0;
    // The stored secret; nothing when there is none or no keyring answers.
    virtual std::optional<std::string> Read(const std::string& key) = 0;
    // True when the keyring holds no secret under the key any more (also
    // when it held none); false when it could not be asked or refused
    // (locked, not running).
    virtual bool Delete(const std::string& key) = 0;
};

}  // namespace dromo
