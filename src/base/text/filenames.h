#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace dromo {

// The name a file gets when it is saved from a URL or under a name a server
// suggested. Every add path and the engine use these rules, so one link
// always lands in one predictable file.

// The name a URL's path ends in: its last segment without query and
// fragment, percent-decoded (UTF-8; bytes that do not form UTF-8 are read as
// Latin-1), made safe by SafeFileName. A URL whose path names no file
// ("http://host/", ".", "..") gives kFallbackFileName.
std::string FileNameFromUrl(std::string_view url);

// A name as a server, a browser or a Metalink file suggested it, made fit
// for a Linux folder: path separators, NUL, control characters and
// direction marks and overrides become "_", blanks around it go, a name
// longer than a file system allows is shortened keeping its extension; then
// leading dots become "_" (nothing hidden, never "." or ".."), so does a
// leading "-" or "~", and a last "+" of "+++" becomes "_" (never the name of
// a partial file). "" when nothing usable is left.
std::string SafeFileName(std::string_view name);

// What a URL without a usable last segment is saved as.
inline constexpr const char* kFallbackFileName = "index.html";

// The extension of a file name (after its last dot, not a leading one); "".
std::string FileExtension(std::string_view name);

// "%XX" escapes as bytes; text that is no escape stays as it is.
std::string PercentDecode(std::string_view text);
// Whether the bytes form UTF-8 text (no overlong lead bytes, no cut sequence).
bool IsUtf8(std::string_view text);
// ISO-8859-1 text as UTF-8.
std::string Latin1ToUtf8(std::string_view text);

// "folder/stem (n).ext" for "folder/stem.ext" ("x.tar.gz" becomes
// "x (n).tar.gz"), as browsers number a second copy.
std::string NumberedPath(const std::string& path, int n);

// The most numbered names searched beside one path: far beyond any real
// folder or list, but an end to the search all the same.
inline constexpr int kMaxNumberedName = 1000000;

// 0 when `taken` says the path itself is free, else the first number n from
// `from` on whose numbered path is free (the numbers below `from` are known
// to be taken); -1 when none up to kMaxNumberedName is.
int FirstFreeNumber(const std::string& path, const std::function<bool(const std::string&)>& taken, int from = 1);

// The path itself when `taken` says it is free, else the first free
// numbered path; "" when none is.
std::string FirstFreePath(const std::string& path, const std::function<bool(const std::string&)>& taken);

// The folder part of a path, with its trailing "/" ("" when there is none).
std::string FolderOfPath(const std::string& path);
// The folder a path's file is in, as a path to open: "." for a bare name,
// "/" for a file at the root, otherwise without its trailing "/".
std::string DirectoryOf(const std::string& path);
// The part after the last "/".
std::string NameOfPath(const std::string& path);

}  // namespace dromo
