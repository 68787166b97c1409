// The range record kept beside a segmented partial file. Whatever the stored
// text, a plan read from it names disjoint ranges inside the file; and a plan
// as the connections change it (assign, split, advance, release, spread) always
// writes a record that reads back as the same plan, with no byte lost.
//
// Input: the record's text up to the first NUL, then the steps.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/segmentplan.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tests/fuzz/fuzzinput.h"

namespace dromo::fuzz {
namespace {

// The open ranges are disjoint and inside the file, and the bytes present
// are what they leave out.
// `what` names the plan in a report; built only when a rule broke.
using What = std::function<std::string()>;

void CheckPlan(const SegmentPlan& plan, const What& what)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> open;
    std::int64_t missing = 0;
    for (int i = 0; i < plan.RangeCount(); ++i) {
        const SegmentPlan::Range& r = plan.At(i);
        FUZZ_CHECK(r.next >= 0 && r.next <= r.end && r.end <= plan.Total(),
                   what() + " range " + std::to_string(i) + " " + std::to_string(r.next) + "-" + std::to_string(r.end));
        if (r.Left() > 0) {
            open.emplace_back(r.next, r.end);
            missing += r.Left();
        }
    }
    std::sort(open.begin(), open.end());
    for (std::size_t i = 1; i < open.size(); ++i) {
        FUZZ_CHECK(open[i - 1].second <= open[i].first, what() + " has overlapping ranges");
    }
    FUZZ_CHECK(plan.Present() == plan.Total() - missing && plan.Present() >= 0, what());
    FUZZ_CHECK(plan.Complete() == open.empty() && (plan.FirstOpen() < 0) == open.empty(), what());
}

// What is stored reads back as the same plan.
void CheckRecord(const SegmentPlan& plan, const What& what)
{
    const std::string record = plan.Serialize();
    const auto back = SegmentPlan::Parse(record);
    FUZZ_CHECK(back.has_value(), what() + " wrote a record it cannot read: " + Shown(record));
    FUZZ_CHECK(back->Serialize() == record && back->Present() == plan.Present() && back->Total() == plan.Total(),
               what() + " wrote " + Shown(record) + ", read back as " + Shown(back->Serialize()));
}

// One step of the connections, as the segmented transfer takes them.
void Step(SegmentPlan& plan, FuzzInput& in)
{
    const int count = plan.RangeCount();
    const std::int64_t minPiece = std::int64_t{1} << (in.Byte() % 21);
    const std::uint8_t kind = in.Byte() % 5;
    if (kind == 0 || count == 0) {
        plan.Assign(in.Byte() % 8, minPiece);
        return;
    }
    const int index = static_cast<int>(in.Below(static_cast<std::uint32_t>(count)));
    if (kind == 1) {
        // A connection writes no more than its range still needs.
        const std::int64_t wrote = std::int64_t{in.Below(65536)} << (in.Byte() % 16);
        plan.Advance(index, std::min(wrote, std::max<std::int64_t>(plan.At(index).Left(), 0)));
    } else if (kind == 2) {
        plan.Divide(index, 1 + in.Byte() % 16, minPiece);
    } else if (kind == 3) {
        plan.Release(index);
    } else {
        plan.Spread(1 + in.Byte() % 16, minPiece);  // connections about to open at once
    }
}

// Whether some byte of [from, to) is on disk, the long way: outside every open range.
bool HeldSomewhere(const SegmentPlan& plan, std::int64_t from, std::int64_t to)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> open;
    for (int i = 0; i < plan.RangeCount(); ++i) {
        const SegmentPlan::Range& r = plan.At(i);
        if (r.Left() > 0) {
            open.emplace_back(std::max(r.next, from), std::min(r.end, to));
        }
    }
    std::sort(open.begin(), open.end());
    std::int64_t at = from;  // bytes before it are open
    for (const auto& [first, end] : open) {
        if (end <= first) {
            continue;
        }
        if (first > at) {
            return true;
        }
        at = std::max(at, end);
    }
    return at < to;
}

// HoldsSome and Holds at every range's edges, then the plan forgotten: it
// calls nothing present and still writes a record it reads back.
void CheckHoldsAndForget(SegmentPlan& plan, const What& what)
{
    for (int i = 0; i < plan.RangeCount(); ++i) {
        const SegmentPlan::Range& r = plan.At(i);
        for (const auto& [from, to] :
             {std::pair{r.next, r.end}, std::pair{std::max<std::int64_t>(r.next - 1, 0), r.end},
              std::pair{r.next, std::min(r.end + 1, plan.Total())}}) {
            if (from < to) {
                FUZZ_CHECK(plan.HoldsSome(from, to) == HeldSomewhere(plan, from, to),
                           what() + " HoldsSome " + std::to_string(from) + "-" + std::to_string(to));
                FUZZ_CHECK(!plan.Holds(from, to) || plan.HoldsSome(from, to), what() + " Holds but not HoldsSome");
            }
        }
    }
    plan.Forget();
    FUZZ_CHECK(plan.Present() == 0 && (plan.Total() == 0 || !plan.HoldsSome(0, plan.Total())), what() + " forgotten");
    CheckRecord(plan, what);
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    using namespace dromo::fuzz;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string record(input.substr(0, nul));
    FuzzInput steps(data + std::min(size, nul == std::string_view::npos ? size : nul + 1),
                    nul == std::string_view::npos ? 0 : size - nul - 1);

    std::optional<SegmentPlan> stored = SegmentPlan::Parse(record);
    if (stored) {
        const What what = [&record] { return "the record " + Shown(record); };
        CheckPlan(*stored, what);
        CheckRecord(*stored, what);
    }
    // Without a readable record, a fresh plan of a file some bytes of which
    // are there.
    SegmentPlan plan = stored ? *stored
                              : SegmentPlan(std::int64_t{steps.Below(65536)} << (steps.Byte() % 40),
                                            std::int64_t{steps.Below(65536)} << (steps.Byte() % 40));
    std::int64_t present = plan.Present();
    for (int n = 0; n < 64 && !steps.Empty(); ++n) {
        Step(plan, steps);
        const What what = [&plan, n] {
            return "after step " + std::to_string(n) + " the plan " + Shown(plan.Serialize());
        };
        CheckPlan(plan, what);
        CheckRecord(plan, what);
        FUZZ_CHECK(plan.Present() >= present, what() + " has fewer bytes than before");
        present = plan.Present();
    }
    CheckHoldsAndForget(plan, [&plan] { return "the plan " + Shown(plan.Serialize()); });
    return 0;
}
