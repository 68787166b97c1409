#pragma once

#include <string>
#include <string_view>

namespace dromo {

// Replaces a whole file so that, whatever happens (a full disk, a crash, a
// power cut), the file holds either all of the old text or all of the new:
// the text goes to a temporary file beside it, is synced, and is renamed
// over the old one; then the folder is synced so the rename itself lasts.
//
// The files written this way may hold passwords, so the new file is only
// readable by its owner (0600), whatever the old one allowed. A link is
// followed: its target is replaced, the link stays.
//
// A file its owner made read-only is left alone (an error), as is a
// folder standing where the file should be.
//
// Returns "" on success, else a sentence naming the file and the reason.
std::string WriteFileAtomically(const std::string& path, std::string_view text);

}  // namespace dromo
