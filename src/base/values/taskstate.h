#pragma once

#include <cstdint>
#include <string>

namespace dromo {

// The six task states. The values are single bits, but a task is always in
// exactly one of them; stored files keep these numbers.
enum class TaskState : std::int32_t {
    Queued = 1,
    Paused = 2,
    Running = 4,
    Done = 8,
    Error = 16,
    Scheduled = 32,
};

// State images of the task list, by index into the six-image strip.
enum StateImage : int {
    kNoStateImage = 0,
    kImageQueued = 1,
    kImageRunning = 2,
    kImageError = 3,
    kImageDone = 4,
    kImagePaused = 5,
    kImageScheduled = 6,
    // Beyond the classic six, shown for a state by what else the task
    // knows: a Paused task that failed for good, a Done file that matched
    // its digest.
    kImageFailed = 7,
    kImageVerified = 8,
    kStateImageCount = 9,
};

// The image a row shows for a state; 0 for a value that is no state.
int StateImageOf(std::int32_t state);

// The state's name for a trace line ("Running"); "state N" for an unknown value.
std::string StateName(std::int32_t state);

// The legend window's explanation of a state image; "" for an unknown index.
const char* StateLegendText(int stateImage);

}  // namespace dromo
