#pragma once

#include <string>

#include "base/values/taskrow.h"

namespace dromo {

class Profile;

// The states the list can be narrowed to, in the order the window offers
// them; the stored value is the position.
enum class StateChoice : int { All = 0, Running, Queued, Paused, Done, Failed };
inline constexpr int kStateChoiceCount = 6;

// Which tasks the list shows: those whose URL (as written or with its
// escapes decoded), file name or status text holds the typed text, ignoring
// letter case and the blanks around it, and whose state is the one chosen.
// A view only: the task table, its order and every command's rules stay as
// they are; commands reach the shown rows the user selected.
class TaskFilter {
public:
    TaskFilter() = default;
    TaskFilter(std::string text, StateChoice choice);

    const std::string& Text() const { return m_text; }
    StateChoice Choice() const { return m_choice; }
    // Whether the filter may hide any row at all.
    bool Active() const;
    bool Shows(const TaskRow& row) const;

    // The choice's text as the window offers it ("All", "Running", ...).
    static const char* ChoiceText(StateChoice choice);
    // The choice a state image belongs to: a scheduled task waits to run
    // like a queued one; a row without a state shows under All only.
    static StateChoice ChoiceOf(int stateImage);

    // "Task Filter Text" and "Task Filter State" in section "Settings"; a
    // state out of range reads as All.
    static TaskFilter Read(Profile& profile);
    void Write(Profile& profile) const;

private:
    std::string m_text;
    std::string m_folded;  // trimmed, in one letter case
    StateChoice m_choice = StateChoice::All;
};

}  // namespace dromo
