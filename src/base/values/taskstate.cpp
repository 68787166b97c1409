#include "base/values/taskstate.h"

namespace dromo {

int StateImageOf(std::int32_t state)
{
    switch (static_cast<TaskState>(state)) {
    case TaskState::Queued: return kImageQueued;
    case TaskState::Paused: return kImagePaused;
    case TaskState::Running: return kImageRunning;
    case TaskState::Done: return kImageDone;
    case TaskState::Error: return kImageError;
    case TaskState::Scheduled: return kImageScheduled;
    }
    return kNoStateImage;
}

std::string StateName(std::int32_t state)
{
    switch (static_cast<TaskState>(state)) {
    case TaskState::Queued: return "Queued";
    case TaskState::Paused: return "Paused";
    case TaskState::Running: return "Running";
    case TaskState::Done: return "Done";
    case TaskState::Error: return "Error";
    case TaskState::Scheduled: return "Scheduled";
    }
    return "state " + std::to_string(state);
}

const char* StateLegendText(int stateImage)
{
    switch (stateImage) {
    case kImageQueued: return "Task is in queue.";
    case kImagePaused: return "Task is paused.";
    case kImageRunning: return "Task is running.";
    case kImageDone: return "Task is done.";
    case kImageError: return "Error occurs.";
    case kImageScheduled: return "Task is scheduled.";
    case kImageFailed: return "Task has failed.";
    case kImageVerified: return "Task is done and its file verified.";
    default: return "";
    }
}

}  // namespace dromo
