#pragma once

#include <string>

namespace dromo {

// What the task list says about the files one task's transfer may write.
// The worker gives the engine one for the task it runs; the engine asks it
// on the transfer's thread before it writes anywhere but the target it was
// given, so no two tasks, and no task and a file that is not Dromo's, ever
// share a name.
class FileClaims {
public:
    virtual ~FileClaims() = default;

    // Takes `path` as the task's file from now on (its save path in the
    // list) unless another task of the list holds it; false then, and
    // nothing changes. The engine has checked that nothing is on disk there.
    virtual bool Claim(const std::string& path) = 0;
    // True when the list records the partial file of `path` as this task's
    // own although it carries no mark of Dromo's: the task wrote it where
    // files keep no extended attributes, or the user took it over on
    // purpose ("Load Broken File").
    virtual bool OwnsPartialFile(const std::string& path) = 0;
    // The transfer is writing the partial file of `path` for the task.
    virtual void WritingPartialFile(const std::string& path) = 0;
};

}  // namespace dromo
