#include "base/forms/brokenfile.h"

#include <filesystem>

namespace dromo {

namespace fs = std::filesystem;

std::string FileErrorText(std::error_code error, const std::string& name)
{
    switch (static_cast<std::errc>(error.value())) {
    case std::errc::no_such_file_or_directory: return name + " was not found.";
    case std::errc::not_a_directory:
    case std::errc::filename_too_long:
    case std::errc::is_a_directory: return name + " contains an invalid path.";
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted:
    case std::errc::read_only_file_system:
    case std::errc::file_exists: return "Access to " + name + " was denied.";
    case std::errc::no_space_on_device: return "The disk is full while accessing " + name + ".";
    case std::errc::device_or_resource_busy: return "A sharing violation occurred while accessing " + name + ".";
    default: return "An unexpected error occurred while accessing " + name + ".";
    }
}

namespace {

// Renames without ever replacing: a hard link refuses an existing name, even
// one that appears in the meantime; file systems without hard links check
// first. Returns the failure, if any.
std::error_code RenameWithoutReplacing(const std::string& from, const std::string& to)
{
    std::error_code error;
    fs::create_hard_link(from, to, error);
    if (!error) {
        fs::remove(from, error);
        return error;
    }
    if (error == std::errc::file_exists) {
        return error;
    }
    if (fs::exists(fs::symlink_status(to))) {
        return std::make_error_code(std::errc::file_exists);
    }
    error.clear();
    fs::rename(from, to, error);
    return error;
}

}  // namespace

TakenOverFile TakeOverBrokenFile(const std::string& path)
{
    constexpr std::string_view kPartial = "+++";
    const bool partial =
        path.size() >= kPartial.size() && path.compare(path.size() - kPartial.size(), kPartial.size(), kPartial) == 0;
    const std::string target = partial ? path.substr(0, path.size() - kPartial.size()) : path;
    const std::string partialPath = target + std::string(kPartial);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) {
        return {path, FileErrorText(std::make_error_code(std::errc::no_such_file_or_directory), "an unnamed file"), {}};
    }
    if (partial) {
        // The bytes stay in their "+++" file, which the engine continues; a
        // finished file of the short name is somebody else's.
        if (fs::exists(fs::symlink_status(target, error))) {
            return {path, FileErrorText(std::make_error_code(std::errc::file_exists), "an unnamed file"), {}};
        }
        return {target, std::nullopt, {}};
    }
    // Any other file becomes the partial file of its own name, since only a
    // "+++" file is ever written into.
    error = RenameWithoutReplacing(path, partialPath);
    if (error) {
        return {path, FileErrorText(error, "an unnamed file"), {}};
    }
    return {target, std::nullopt, path};
}

std::optional<std::string> GiveBackBrokenFile(const TakenOverFile& file)
{
    if (file.error || file.movedFrom.empty()) {
        return std::nullopt;  // nothing was moved
    }
    if (const std::error_code error = RenameWithoutReplacing(file.path + "+++", file.movedFrom)) {
        return FileErrorText(error, "an unnamed file");
    }
    return std::nullopt;
}

}  // namespace dromo
