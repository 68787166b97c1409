// One file from several mirrors at once: real servers on the loopback that
// serve it (nginx with a cap on each connection, Apache), and mirrors that
// fail (an error, another file), handed to the engine as a task's mirrors.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/text/mirrorlist.h"
#include "tests/engine/enginefixture.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::Fetcher;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::size_t kMiB = 1 << 20;

std::vector<std::string> StatusTexts(test::RecordingSink& sink)
{
    std::vector<std::string> texts;
    for (const auto& e : sink.OfKind(kProgressStatus)) {
        texts.push_back(e.text.substr(std::min<std::size_t>(9, e.text.size())));  // without the time
    }
    return texts;
}

bool Said(const std::vector<std::string>& texts, const std::string& start)
{
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.rfind(start, 0) == 0; });
}

int Answers(const std::vector<std::string>& requests, const std::string& status)
{
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const std::string& line) {
        return line.size() > status.size() && line.compare(line.size() - status.size(), status.size(), status) == 0;
    }));
}

class MirrorsTest : public ::testing::Test {
protected:
    TempDir www;
    TempDir elsewhere;
    TempDir out;
    std::string data = test::RandomBytes(16 * kMiB, 51);

    void SetUp() override
    {
        WriteFile(www.File("a.bin"), data);
        WriteFile(elsewhere.File("a.bin"), test::RandomBytes(16 * kMiB + 1000, 52));  // another file of the name
    }
};

TEST_F(MirrorsTest, RangesComeFromEveryMirrorAndTheFailingOnesAreLeft)
{
    test::Nginx nginx(www.Path(), "limit_rate 1m;");
    test::Apache apache(www.Path());
    test::FaultServer missing(www.Path());
    test::FaultServer other(elsewhere.Path());
    MirrorList mirrors;
    mirrors.Add({nginx.Url("/a.bin"), 1, "de"});
    mirrors.Add({apache.Url("/a.bin"), 2, ""});
    mirrors.Add({missing.Url("/file/gone.bin"), 3, ""});
    mirrors.Add({other.Url("/file/a.bin"), 4, ""});
    Fetcher f;
    f.engine.SetConnections(4);
    f.engine.SetMirrors(mirrors.Stored());
    ASSERT_TRUE(f.Get(nginx.Url("/a.bin"), out.File("a.bin"))) << f.Error();
    EXPECT_TRUE(ReadFile(out.File("a.bin")) == data);
    const std::vector<std::string> texts = StatusTexts(f.sink);
    EXPECT_TRUE(Said(texts, "Leaving the mirror " + missing.Url("/file/gone.bin") + ": Error 404 from server"));
    EXPECT_TRUE(Said(texts, "Leaving the mirror " + other.Url("/file/a.bin") + ": a file of 16778216 bytes"));
    EXPECT_GE(Answers(apache.Requests(), " 206"), 1) << "Apache gave ranges beside the first mirror";
}

}  // namespace
}  // namespace dromo
