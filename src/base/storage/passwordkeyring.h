#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "base/ports/secretstore.h"

namespace dromo {

class Profile;

// Keeps the profile's passwords in the keyring where one runs. A password
// the keyring confirmed is written to the profile as "" with a marker value
// (the password's value name followed by " Keyring", set to 1) and the
// identifier of its keyring entry (the name followed by " Keyring Id");
// anything the keyring did not confirm stays in the profile as before, so a
// save never drops a password that is nowhere else. The first save after an
// upgrade moves the existing profile passwords over this way.
//
// An entry belongs to its row, not to a row number: the identifier travels
// with the task, site or proxy (their `keyringId`) when rows above it leave,
// which matters most while the keyring is locked and the row's password is
// only known to be "in the keyring". Entries are never rewritten: a new or
// changed password gets an entry of its own, so rows that share an entry
// (copies of one record) never hand each other a password. An entry no row
// names any more is deleted at the end of its section's save; one the
// keyring refuses to delete (locked) is listed in the profile ("Keyring
// Orphans") and deleted in a later run.
//
// Profiles marked before entries had identifiers name the entry after the
// value ("URL3\Password" in section "URL"): that name is taken as the
// identifier, written out explicitly from then on (so it still names the
// right entry after the row moves), and replaced by an identifier of its own
// once the keyring gives the password.
//
// Empty passwords and the default FTP placeholder stay in the profile:
// they are no secret.
//
// The task list's passwords are saved on the profile's writer thread, the
// options' and the lists' on the window's: each call holds the keyring's own
// mutex (taken before the profile's, never after it).
class PasswordKeyring {
public:
    explicit PasswordKeyring(SecretStore& secrets);

    struct Kept {
        std::string password;  // "" when the keyring could not give it now
        std::string id;        // the entry's identifier, for the row to keep
    };

    // Saving: true when the keyring holds `password` and the profile got "",
    // the marker and the entry's identifier; false when the caller must
    // write the password into the profile as before (a marker left from
    // earlier is cleared). `id` is the identifier the row's password came
    // with ("" for one typed in this run).
    bool Save(Profile& profile, const std::string& section, const std::string& name, const std::string& password,
              const std::string& id);
    // Loading: the password and its entry when the profile's marker says the
    // keyring holds it; nothing when the profile holds it itself. A password
    // the keyring cannot give now (locked, not running) reads as "" and
    // keeps its marker at the next save, so it is not lost.
    std::optional<Kept> Load(Profile& profile, const std::string& section, const std::string& name);
    // A password Load could not give (the keyring locked or not running),
    // asked for again by whoever is about to use it: the password once the
    // keyring gives it, nothing while it still does not. `id` is the entry's
    // identifier as Load handed it out.
    std::optional<std::string> Recall(const std::string& section, const std::string& id);
    // After every password of a section was saved: deletes the section's
    // entries that no saved value names any more.
    void Sweep(Profile& profile, const std::string& section);

    static std::string MarkerName(const std::string& name) { return name + " Keyring"; }
    static std::string IdName(const std::string& name) { return name + " Keyring Id"; }

private:
    // The entry that holds `password` for a row whose password came from
    // entry `id`; "" when the keyring did not take it.
    std::string EntryFor(const std::string& section, const std::string& password, const std::string& id);
    bool Holds(const std::string& key, const std::string& password) const;
    std::string NewId(const std::string& section);
    void TakeListedOrphans(Profile& profile);
    void ListOrphans(Profile& profile) const;

    std::mutex m_mutex;
    SecretStore& m_secrets;
    std::mt19937_64 m_random;
    std::map<std::string, std::string> m_held;             // key -> what the keyring confirmed holding
    std::set<std::string> m_unread;                        // marked keys the keyring could not give
    std::set<std::string> m_known;                         // keys that may be in the keyring
    std::map<std::string, std::string> m_fresh;            // section and password -> identifier given out this run
    std::map<std::string, std::set<std::string>> m_named;  // section -> keys saved since its last sweep
    std::set<std::string> m_orphans;                       // keys no row names that the keyring would not delete
    bool m_orphansTaken = false;
    bool m_deletesRefused = false;
};

}  // namespace dromo
