#include "engine/segmentedconnection.h"

#include "base/text/trace.h"

namespace dromo {

const char* SegmentedTransfer::Connection::Name(State state)
{
    switch (state) {
    case State::Made: return "made";
    case State::Asking: return "asking";
    case State::Receiving: return "receiving";
    case State::HeldBack: return "held back";
    case State::Closed: return "closed";
    }
    return "?";
}

void SegmentedTransfer::Connection::Enter(State next)
{
    if (next == m_state) {
        return;
    }
    if (trace::On()) {
        trace::Line("task " + std::to_string(owner->m_settings.taskId),
                    "range " + std::to_string(firstByte) + "-" + std::to_string(lastByte) + " to " + hostPort + ": " +
                        Name(m_state) + " -> " + Name(next));
    }
    m_state = next;
}

}  // namespace dromo
