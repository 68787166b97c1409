#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace dromo {

// One more server of a task's file, as the engine is given it.
struct MirrorSource {
    std::string url;
    std::int32_t priority = 0;  // 1 is the most wanted
};

// What the choice of a mirror for the next connection looks at.
struct MirrorStanding {
    std::int32_t priority = 0;
    double speed = -1;  // bytes a second per connection; below 0 while unknown
    int live = 0;       // the task's connections to it now
    bool usable = true;
    // Left for its speed alone (it works, only far slower than another):
    // back in the order when no usable mirror is left.
    bool slow = false;
};

// The order in which mirrors are offered the next connection: the usable
// ones with the fewest of the task's connections first, so every mirror
// carries a share before any carries two; among equals the most wanted
// (priority), then the fastest per connection, an unmeasured one before a
// measured one (it has not had its chance), then the first given. With no
// usable one, those left for their speed in the same order: a slow mirror
// still beats a download that stops.
std::vector<int> MirrorOrder(const std::vector<MirrorStanding>& mirrors);

// The servers one segmented transfer takes its ranges from: the first
// connection's (index 0) and the task's other mirrors. Each carries where
// its requests ended (a mirror may redirect), the validator of its first
// answer, its connections and the bytes they brought. A mirror that fails
// is dropped for the rest of the transfer: it gets no new connection.
class MirrorPool {
public:
    using Clock = std::chrono::steady_clock;

    struct Mirror {
        std::string url;       // where its connections ask
        std::string hostPort;  // whose connection slots they take
        std::int32_t priority = 0;
        bool login = false;  // the task's URL's own server: its login goes along
        bool dropped = false;
        bool badData = false;   // it sent a bad piece: its connections go too
        bool slow = false;      // it was dropped for its speed alone
        std::string why;        // why it was dropped
        bool answered = false;  // a range of it was taken: the validator below is its own
        std::string etag, lastModified;
        int live = 0;
        std::int64_t bytes = 0;
        double busy = 0;  // connection-seconds
    };

    // Returns its index.
    int Add(Mirror mirror);
    int Count() const { return static_cast<int>(m_mirrors.size()); }
    Mirror& At(int index) { return m_mirrors[static_cast<std::size_t>(index)]; }
    const Mirror& At(int index) const { return m_mirrors[static_cast<std::size_t>(index)]; }

    void Opened(int index, Clock::time_point now);
    void Closed(int index, Clock::time_point now);
    void Brought(int index, std::int64_t bytes) { At(index).bytes += bytes; }
    // False when it was dropped already. `slow`: for its speed alone.
    bool Drop(int index, const std::string& why, bool slow = false);
    // Mirrors other than the first connection's that may still get one.
    int UsableOthers() const;
    // MirrorOrder over the mirrors as they stand.
    std::vector<int> Order(Clock::time_point now);
    // Each mirror's bytes a second per connection so far; below 0 before
    // a second of a connection's time (one burst is no measure).
    std::vector<double> Speeds(Clock::time_point now);

private:
    void Tick(Clock::time_point now);

    std::vector<Mirror> m_mirrors;
    Clock::time_point m_lastTick{};
};

}  // namespace dromo
