// No Qt here: GLib's headers and Qt's keywords do not mix.
#include "platform/secretservice.h"

#include <libsecret/secret.h>

namespace dromo {
namespace {

// Dromo's entries are told apart by one attribute: the profile value's
// section and name.
const SecretSchema* Schema()
{
    static const SecretSchema schema = [] {
        SecretSchema s{};
        s.name = "com.tarnwick.Dromo.Password";
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0] = {"key", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return s;
    }();
    return &schema;
}

bool Succeeded(gboolean result, GError* error)
{
    if (error != nullptr) {
        g_error_free(error);
        return false;
    }
    return result != FALSE;
}

}  // namespace

bool SecretService::Write(const std::string& key, const std::string& secret)
{
    GError* error = nullptr;
    const std::string label = "Dromo password (" + key + ")";
    const gboolean stored = secret_password_store_sync(Schema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                                                       secret.c_str(), nullptr, &error, "key", key.c_str(), nullptr);
    return Succeeded(stored, error);
}

std::optional<std::string> SecretService::Read(const std::string& key)
{
    GError* error = nullptr;
    gchar* found = secret_password_lookup_sync(Schema(), nullptr, &error, "key", key.c_str(), nullptr);
    if (error != nullptr) {
        g_error_free(error);
        return std::nullopt;
    }
    if (found == nullptr) {
        return std::nullopt;
    }
    std::string secret(found);
    secret_password_free(found);
    return secret;
}

}  // namespace dromo
