#pragma once

namespace dromo {

// The countdown dialog's state: 15 one-second steps. The window shows the
// seconds left and the bar's position, and closes when Tick says so.
class CountdownSteps {
public:
    static constexpr int kSteps = 15;

    int SecondsLeft() const { return m_left; }
    // The progress bar's position: 1 at the start (the low end of its
    // range 1..15), one step on with every second, full in the last one.
    int BarPosition() const { return m_left == 0 ? kSteps : kSteps - m_left + 1; }
    bool Finished() const { return m_left == 0; }

    // One second passed; true when this reached 0 (the dialog then closes as
    // if OK were pressed). Ticks after that change nothing.
    bool Tick()
    {
        if (m_left == 0) {
            return false;
        }
        return --m_left == 0;
    }

private:
    int m_left = kSteps;
};

}  // namespace dromo
