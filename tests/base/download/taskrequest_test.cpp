#include "base/download/taskrequest.h"

#include <gtest/gtest.h>

#include "base/text/parseurl.h"

namespace dromo {
namespace {

// The proxy a task is given: the entry its index names while it uses one,
// with the port as the list stores it (16 bits, so 65535 is kept as -1);
// nothing for an index the list does not hold.
TEST(TaskRequest, TheTaskTakesTheProxyItsIndexNamesOrNone)
{
    const ProxyList proxies{ProxyEntry{"proxy", 3128, "pu", "pp"}, ProxyEntry{"high", -1, "", ""}};
    const struct {
        std::int32_t useProxy;
        std::int32_t index;
        ProxySetting wanted;
    } cases[] = {
        {1, 0, {"proxy:3128", "pu", "pp"}}, {1, 1, {"high:65535", "", ""}}, {0, 0, {}}, {1, 2, {}}, {1, -1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.useProxy) + "/" + std::to_string(c.index));
        TaskRecord task;
        task.useProxy = c.useProxy;
        task.proxyIndex = c.index;
        EXPECT_EQ(SettingsFor(task, GlobalOptions{}, proxies).proxy, c.wanted);
    }
}

TEST(TaskRequest, SettingsComeFromTheTaskAndTheOptions)
{
    TaskRecord task;
    task.taskId = 7;
    task.speedLimit = 50;
    task.idleTime = 30;
    task.refresh = 100;
    task.autoSave = "128";
    task.pasvMode = 1;
    task.httpVersion = "1.0";
    task.userAgent = "UA";
    task.connections = 40;
    GlobalOptions options;
    options.enableCookie = 1;
    options.requireFtpTls = 1;
    const TransferSettings s = SettingsFor(task, options, {});
    TransferSettings wanted;
    wanted.taskId = 7;
    wanted.speedLimit = 50;
    wanted.idleSeconds = 30;
    wanted.refreshMs = 100;
    wanted.autoSaveKB = 128;
    wanted.passive = 1;
    wanted.httpVersion = "1.0";
    wanted.userAgent = "UA";
    wanted.connections = 16;  // at most 16 per file
    wanted.cookies = 1;
    wanted.ftpTlsRequired = true;
    EXPECT_EQ(s, wanted);
}

// The stored forms are read once, as the task is taken up: mirrors and
// pieces that cannot be read only help less; a checksum that cannot be read
// is carried with its reason, for the transfer to fail on.
TEST(TaskRequest, StoredFormsAreReadOnceAndAnUnreadableChecksumSaysWhy)
{
    const struct {
        const char* url;
        const char* checksum;
        const char* mirrors;
        bool digests;
        bool unreadable;
        std::size_t mirrorCount;
    } cases[] = {
        {"https://h/f.iso", "md5=d41d8cd98f00b204e9800998ecf8427e", "1::ftp://h/f 2:de:http://m/f", true, false, 2},
        {"ftps://h/f.iso", "", "", false, false, 0},
        {"http://h/f.iso", "md5=nothex", "not a mirror list at all ::", false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const auto url = ParseUrl(c.url);
        ASSERT_TRUE(url);
        TaskRecord task;
        task.protocol = url->protocol;
        task.host = url->host;
        task.port = url->port;
        task.remotePath = url->remotePath;
        task.saveAs = "/dl/f.iso";
        task.checksum = c.checksum;
        task.mirrors = c.mirrors;
        task.cookie = "s=1";
        task.referrer = "https://h/page";
        const TransferRequest r = RequestFor(task, "u", "p");
        EXPECT_EQ(r.ftp, IsFtpProtocol(task.protocol));
        EXPECT_EQ(r.secure, IsSecureProtocol(task.protocol));
        EXPECT_EQ(r.host, "h");
        EXPECT_EQ(r.remotePath, "/f.iso");
        EXPECT_EQ(r.user + ":" + r.password, "u:p");
        EXPECT_EQ(r.details, (BrowserRequestDetails{"s=1", "https://h/page", ""}));
        EXPECT_EQ(!r.digests.Empty(), c.digests);
        EXPECT_EQ(!r.digestsUnreadable.empty(), c.unreadable);
        EXPECT_EQ(r.mirrors.Size(), c.mirrorCount);
        EXPECT_TRUE(r.serverNameAllowed) << "the name is the URL's";
    }
}

}  // namespace
}  // namespace dromo
