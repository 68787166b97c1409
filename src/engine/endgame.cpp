#include "engine/endgame.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace dromo {
namespace {

// The fastest of the other connections and of the mirrors but `r`'s own: a
// connection that merely has more bytes to bring is no reason to take one
// over. Second: the same of the other mirrors alone, which decides whether
// its mirror is left (one server's connections may differ for a moment).
std::pair<double, double> Fastest(const std::vector<RunningRange>& running, std::size_t index,
                                  const std::vector<double>& mirrorSpeeds)
{
    const RunningRange& r = running[index];
    double others = 0;
    for (std::size_t m = 0; m < mirrorSpeeds.size(); ++m) {
        if (static_cast<int>(m) != r.mirror) {
            others = std::max(others, mirrorSpeeds[m]);
        }
    }
    double any = others;
    for (std::size_t i = 0; i < running.size(); ++i) {
        if (i == index || running[i].pace < 0) {
            continue;
        }
        any = std::max(any, running[i].pace);
        if (running[i].mirror != r.mirror) {
            others = std::max(others, running[i].pace);
        }
    }
    return {any, others};
}

}  // namespace

TakeOver ChooseTakeOver(const std::vector<RunningRange>& running, const std::vector<double>& mirrorSpeeds)
{
    TakeOver chosen;
    std::pair<double, std::int64_t> longest{-1, 0};  // seconds it would take, bytes
    for (std::size_t i = 0; i < running.size(); ++i) {
        const RunningRange& r = running[i];
        const std::int64_t left = r.end - r.next;
        if (r.pace < 0 || left <= 0) {
            continue;
        }
        const auto [any, others] = Fastest(running, i, mirrorSpeeds);
        if (r.pace * kLagFactor >= any) {
            continue;
        }
        const bool leave = r.pace * kLeaveFactor < others;
        const std::int64_t kept = std::clamp<std::int64_t>(r.kept, 1, left);
        const auto rest = static_cast<double>(left - kept);
        if (rest <= 0 || rest <= r.pace) {
            continue;  // done within a second: not worth another request
        }
        const double seconds = r.pace > 0 ? rest / r.pace : std::numeric_limits<double>::infinity();
        const std::pair<double, std::int64_t> key{seconds, left};
        if (key > longest) {
            longest = key;
            chosen = TakeOver{static_cast<int>(i), leave ? r.next : r.next + kept, leave, leave ? others : any};
        }
    }
    return chosen;
}

}  // namespace dromo
