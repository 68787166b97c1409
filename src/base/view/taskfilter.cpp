#include "base/view/taskfilter.h"

#include "base/ports/profile.h"
#include "base/text/filenames.h"
#include "base/text/textutil.h"
#include "base/values/taskstate.h"

namespace dromo {
namespace {

constexpr const char* kChoiceTexts[kStateChoiceCount] = {"All", "Running", "Queued", "Paused", "Done", "Failed"};

bool Holds(std::string_view text, const std::string& folded)
{
    return FoldCase(text).find(folded) != std::string::npos;
}

}  // namespace

TaskFilter::TaskFilter(std::string text, StateChoice choice)
    : m_text(std::move(text)), m_folded(FoldCase(TrimBlanks(m_text))), m_choice(choice)
{
}

bool TaskFilter::Active() const
{
    return !m_folded.empty() || m_choice != StateChoice::All;
}

bool TaskFilter::Shows(const TaskRow& row) const
{
    if (m_choice != StateChoice::All && ChoiceOf(row.stateImage) != m_choice) {
        return false;
    }
    if (m_folded.empty()) {
        return true;
    }
    const std::string& url = row.texts[kColTarget];
    // A name the user reads as "café" is "caf%C3%A9" in the URL.
    return Holds(url, m_folded) || Holds(PercentDecode(url), m_folded) || Holds(NameOfPath(row.saveAs), m_folded) ||
           Holds(row.texts[kColStatus], m_folded);
}

const char* TaskFilter::ChoiceText(StateChoice choice)
{
    const int index = static_cast<int>(choice);
    return index >= 0 && index < kStateChoiceCount ? kChoiceTexts[index] : "";
}

StateChoice TaskFilter::ChoiceOf(int stateImage)
{
    switch (stateImage) {
    case kImageRunning: return StateChoice::Running;
    case kImageQueued:
    case kImageScheduled: return StateChoice::Queued;
    case kImagePaused: return StateChoice::Paused;
    case kImageDone:
    case kImageVerified: return StateChoice::Done;
    case kImageError:
    case kImageFailed: return StateChoice::Failed;
    default: return StateChoice::All;
    }
}

TaskFilter TaskFilter::Read(Profile& profile)
{
    const int stored = profile.GetInt("Settings", "Task Filter State", 0);
    const StateChoice choice =
        stored >= 0 && stored < kStateChoiceCount ? static_cast<StateChoice>(stored) : StateChoice::All;
    return TaskFilter(profile.GetString("Settings", "Task Filter Text", ""), choice);
}

void TaskFilter::Write(Profile& profile) const
{
    profile.WriteString("Settings", "Task Filter Text", m_text);
    profile.WriteInt("Settings", "Task Filter State", static_cast<int>(m_choice));
}

}  // namespace dromo
