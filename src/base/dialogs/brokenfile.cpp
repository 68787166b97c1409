#include "dialogs/brokenfile.h"

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

TakenOverFile TakeOverBrokenFile(const std::string& path)
{
    constexpr std::string_view kPartial = "+++";
    if (path.size() < kPartial.size() || path.compare(path.size() - kPartial.size(), kPartial.size(), kPartial) != 0) {
        return {path, std::nullopt};
    }
    const std::string shorter = path.substr(0, path.size() - kPartial.size());
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) {
        return {path, FileErrorText(std::make_error_code(std::errc::no_such_file_or_directory), "an unnamed file")};
    }
    // A hard link refuses an existing target, so the rename never replaces
    // another file, even one that appears in the meantime.
    fs::create_hard_link(path, shorter, error);
    if (!error) {
        fs::remove(path, error);
        return {shorter, std::nullopt};
    }
    if (error == std::errc::file_exists) {
        return {path, FileErrorText(error, "an unnamed file")};
    }
    // File systems without hard links: check, then rename.
    if (fs::exists(fs::symlink_status(shorter))) {
        return {path, FileErrorText(std::make_error_code(std::errc::file_exists), "an unnamed file")};
    }
    error.clear();
    fs::rename(path, shorter, error);
    if (error) {
        return {path, FileErrorText(error, "an unnamed file")};
    }
    return {shorter, std::nullopt};
}

}  // namespace dromo
