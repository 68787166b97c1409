// Which mirror the next connection of a download goes to, and what a
// dropped mirror still gets (one left for its speed: the last resort).

#include <gtest/gtest.h>

#include "engine/mirrorpool.h"

namespace dromo {
namespace {

TEST(MirrorOrder, ASharePerMirrorFirstThenPriorityThenSpeed)
{
    const struct {
        const char* what;
        std::vector<MirrorStanding> mirrors;
        std::vector<int> order;
    } cases[] = {
        {"none", {}, {}},
        {"fewest connections first", {{1, -1, 2, true}, {2, -1, 0, true}, {3, -1, 1, true}}, {1, 2, 0}},
        {"then the most wanted", {{5, -1, 1, true}, {1, -1, 1, true}, {3, -1, 1, true}}, {1, 2, 0}},
        {"then the fastest per connection", {{1, 100, 1, true}, {1, 900, 1, true}, {1, 500, 1, true}}, {1, 2, 0}},
        {"an unmeasured one before a measured one", {{1, 900, 0, true}, {1, -1, 0, true}}, {1, 0}},
        {"priority goes before speed", {{2, 1e9, 0, true}, {1, 10, 0, true}}, {1, 0}},
        {"dropped ones never", {{1, -1, 0, false}, {2, -1, 3, true}, {3, -1, 0, false}}, {1}},
        {"equals in the order given", {{1, -1, 0, true}, {1, -1, 0, true}, {1, -1, 0, true}}, {0, 1, 2}},
        {"one left for its speed stays out while another is usable", {{1, -1, 0, false, true}, {2, -1, 4, true}}, {1}},
        {"with none usable, those left for their speed, in the same order",
         {{1, 50, 1, false, true}, {2, -1, 0, false, false}, {1, 90, 1, false, true}, {3, -1, 0, false, true}},
         {3, 2, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MirrorOrder(c.mirrors), c.order);
    }
}

MirrorPool::Mirror Mirror(const std::string& url, const std::string& hostPort)
{
    MirrorPool::Mirror m;
    m.url = url;
    m.hostPort = hostPort;
    m.priority = 1;
    return m;
}

TEST(MirrorPool, SpeedIsBytesPerConnectionSecondAndDroppedMirrorsStayDropped)
{
    using Clock = MirrorPool::Clock;
    MirrorPool pool;
    const Clock::time_point t0 = Clock::now();
    const int first = pool.Add(Mirror("http://a/f", "a:80"));
    const int slow = pool.Add(Mirror("http://b/f", "b:80"));
    const int fast = pool.Add(Mirror("http://c/f", "c:80"));
    const int gone = pool.Add(Mirror("http://d/f", "d:80"));
    EXPECT_EQ(pool.UsableOthers(), 3);
    for (const int m : {first, slow, fast}) {
        pool.Opened(m, t0);
    }
    pool.Opened(slow, t0);  // two connections, together no faster than one of fast's
    pool.Brought(slow, 2000);
    pool.Brought(fast, 2000);
    pool.Brought(first, 500);
    EXPECT_TRUE(pool.Drop(gone, "Error 404 from server: Not Found"));
    EXPECT_FALSE(pool.Drop(gone, "again")) << "a mirror is dropped once";
    EXPECT_EQ(pool.At(gone).why, "Error 404 from server: Not Found");
    EXPECT_EQ(pool.UsableOthers(), 2);
    // After two seconds: fast 1000 B/s a connection, slow 500, first 250.
    EXPECT_EQ(pool.Order(t0 + std::chrono::seconds(2)), (std::vector<int>{fast, first, slow}));
    pool.Closed(slow, t0 + std::chrono::seconds(2));
    pool.Closed(slow, t0 + std::chrono::seconds(2));
    EXPECT_EQ(pool.Order(t0 + std::chrono::seconds(2)), (std::vector<int>{slow, fast, first}))
        << "a mirror without a connection comes first, however slow";
    EXPECT_EQ(pool.Speeds(t0 + std::chrono::seconds(2)), (std::vector<double>{250, 500, 1000, -1}));
    // Left for its speed, the slow one is back only when every other is gone.
    EXPECT_TRUE(pool.Drop(slow, "far slower", true));
    EXPECT_EQ(pool.Order(t0 + std::chrono::seconds(2)), (std::vector<int>{fast, first}));
    EXPECT_TRUE(pool.Drop(fast, "Error 404 from server: Not Found"));
    EXPECT_TRUE(pool.Drop(first, "piece 1 does not match its digest"));
    EXPECT_EQ(pool.Order(t0 + std::chrono::seconds(2)), (std::vector<int>{slow}));
    EXPECT_EQ(pool.UsableOthers(), 0);
}

}  // namespace
}  // namespace dromo
