// No Qt here: GLib's headers and Qt's keywords do not mix.
#include "platform/secretservice.h"

#include <libsecret/secret.h>

namespace dromo {
namespace {

// Dromo's entries are told apart by one attribute: the section of the
// profile value and the entry's identifier.
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

bool SecretService::Delete(const std::string& key)
{
    // A plain clear finds only unlocked entries, so a locked keyring would
    // look as if the entry were gone. Search them all instead; a locked one
    // is left for a later run rather than have a save ask for the keyring's
    // password.
    GError* error = nullptr;
    GHashTable* attributes = secret_attributes_build(Schema(), "key", key.c_str(), nullptr);
    GList* items = secret_service_search_sync(nullptr, Schema(), attributes, SECRET_SEARCH_ALL, nullptr, &error);
    g_hash_table_unref(attributes);
    if (error != nullptr) {
        g_error_free(error);
        return false;
    }
    bool gone = true;
    for (GList* entry = items; entry != nullptr; entry = entry->next) {
        auto* item = static_cast<SecretItem*>(entry->data);
        if (secret_item_get_locked(item)) {
            gone = false;
            continue;
        }
        const gboolean deleted = secret_item_delete_sync(item, nullptr, &error);
        gone = Succeeded(deleted, error) && gone;
        error = nullptr;
    }
    g_list_free_full(items, g_object_unref);
    return gone;
}

}  // namespace dromo
