#include "base/download/metalinkfetch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>

#include "base/ports/metalinkreader.h"
#include "tests/base/fakes/scriptedengine.h"

namespace dromo {
namespace {

namespace fs = std::filesystem;

// Hands back what it was given to read, as the error text.
class EchoReader : public MetalinkReader {
public:
    MetalinkReading Read(std::string_view document) const override
    {
        MetalinkReading reading;
        reading.error = "read " + std::string(document);
        return reading;
    }
};

MetalinkReading FetchNow(MetalinkFetch& fetch, const std::string& url, const std::string& folder,
                         const DownloadDetails& details)
{
    std::promise<MetalinkReading> done;
    fetch.Start(url, folder, details, [&done](MetalinkReading reading) { done.set_value(std::move(reading)); });
    return done.get_future().get();
}

// Each scheme of a Metalink's own URL reaches its transfer, inside TLS for
// the two secure ones; the document is read from wherever the engine saved
// it, and that file is gone afterwards.
TEST(MetalinkFetch, EachSchemeReachesItsTransferAndTheDocumentIsReadFromWhereItWasSaved)
{
    const fs::path folder = fs::temp_directory_path() / ("dromo-metalinkfetch-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const struct {
        const char* url;
        const char* secure;
        const char* get;
    } cases[] = {
        {"http://h/a.meta4", "SetSecure 0", "HttpGet h/a.meta4"},
        {"https://h/a.meta4", "SetSecure 1", "HttpGet h/a.meta4"},
        {"ftp://h/a.meta4", "SetSecure 0", "FtpGet h/a.meta4"},
        {"ftps://h/a.meta4", "SetSecure 1", "FtpGet h/a.meta4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const std::string saved = (folder / "saved-beside.meta4").string();
        std::ofstream(saved) << "<metalink/>";
        test::ScriptedEngineFactory engines;
        engines.script.Add(test::Step{.ok = true, .savedAs = saved});
        EchoReader reader;
        MetalinkFetch fetch(engines, reader);
        DownloadDetails details;
        details.userAgent = "UA";
        const MetalinkReading reading = FetchNow(fetch, c.url, folder.string(), details);
        EXPECT_EQ(reading.error, "read <metalink/>");
        EXPECT_FALSE(fs::exists(saved));
        const std::vector<std::string> calls = engines.script.Calls();
        const auto secure = std::find(calls.begin(), calls.end(), c.secure);
        ASSERT_NE(secure, calls.end());
        EXPECT_TRUE(
            std::any_of(secure, calls.end(), [&](const std::string& call) { return call.rfind(c.get, 0) == 0; }));
    }
    fs::remove_all(folder);
}

// A Metalink file a browser handed over is asked for as the browser would
// ask (its cookies, referrer and agent), and a failed fetch says it was the
// Metalink file that could not be had.
TEST(MetalinkFetch, GoesWithTheBrowsersDetailsAndSaysWhyItFailed)
{
    const fs::path folder = fs::temp_directory_path() / ("dromo-metalinkfetch-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    test::ScriptedEngineFactory engines;
    engines.script.Add(test::Step::Fail("Error 403 from server: Forbidden"));
    EchoReader reader;
    MetalinkFetch fetch(engines, reader);
    DownloadDetails details;
    details.cookie = "s=1";
    details.cookieJar = "h\tFALSE\t/\tTRUE\t0\ts\t1\n";
    details.referrer = "http://h/members.html";
    details.userAgent = "Browser/1.0";
    const MetalinkReading reading = FetchNow(fetch, "http://h/members/a.meta4", folder.string(), details);
    EXPECT_EQ(reading.error, "The Metalink file could not be fetched: Error 403 from server: Forbidden");
    const std::vector<std::string> calls = engines.script.Calls();
    for (const std::string& call :
         std::vector<std::string>{"SetUserAgent Browser/1.0", "SetRequestDetails s=1 | http://h/members.html",
                                  "SetCookieJar " + details.cookieJar}) {
        EXPECT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << call;
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace dromo
