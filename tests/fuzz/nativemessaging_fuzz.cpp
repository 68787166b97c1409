// What a browser's extension sends tessarin: native messaging frames read
// from the input, each message answered by the capture host. Whatever the
// bytes, every message gets one whole frame holding a JSON object, and
// nothing goes to Dromo but an http, https or ftp URL with the details the
// host knows, each within its bound, a cookie jar only one Dromo reads whole.

#include <QByteArray>
#include <QJsonDocument>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "base/capture/captureswitches.h"
#include "base/text/cookiejar.h"
#include "monitor/nativemessaging.h"
#include "monitor/tessarinhost.h"
#include "tests/base/fakes/fakeprofile.h"
#include "tests/fuzz/fuzzcheck.h"

namespace dromo::fuzz {
namespace {

// Every switch on, so the capture rules decide rather than refuse.
test::FakeProfile& Switches()
{
    static test::FakeProfile profile = [] {
        test::FakeProfile p;
        p.WriteInt("Settings", kClicksInChromium, 1);
        p.WriteInt("Settings", kClicksInFirefox, 1);
        p.WriteInt("Settings", "Capture All FTP", 1);
        p.WriteString("Settings", "Capture File Types", "zip exe iso");
        p.WriteInt("Settings", "Start with Browser", 0);
        return p;
    }();
    return profile;
}

bool WebOrFtp(std::string url)
{
    for (char& c : url) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0 || url.rfind("ftp://", 0) == 0 ||
           url.rfind("ftps://", 0) == 0;
}

void CheckHandOver(const HandOver& handOver, const std::function<std::string()>& shown)
{
    FUZZ_CHECK(WebOrFtp(handOver.url), shown() + ", handing over " + Shown(handOver.url));
    FUZZ_CHECK(handOver.url.find('#') == std::string::npos, shown() + ", handing over " + Shown(handOver.url));
    static const std::set<std::string> kDetails = {"cookie",   "cookieJar", "referrer", "userAgent",
                                                   "fileName", "mimeType",  "size"};
    for (const auto& [key, value] : handOver.details) {
        FUZZ_CHECK(kDetails.count(key) == 1 && !value.empty() && value.size() <= 3 * 64 * 1024,
                   shown() + ", handing over " + Shown(key) + " = " + Shown(value));
        FUZZ_CHECK(key != "cookieJar" || CookieJar::Read(value).fault == CookieJarFault::None,
                   shown() + ", handing over a jar Dromo refuses: " + Shown(value));
    }
}

void CheckAnswer(const std::string& message, const TessarinHost::Answer& answer)
{
    const std::function<std::string()> shown = [&] {
        return Shown(message) + " answered " + Shown(answer.reply.toStdString());
    };
    const QJsonDocument reply = QJsonDocument::fromJson(answer.reply);
    FUZZ_CHECK(reply.isObject(), shown());
    if (answer.handOver) {
        CheckHandOver(*answer.handOver, shown);
    }
    // A page's links: each one a download Dromo could take, and the answer
    // counts what was offered.
    for (const HandOver& link : answer.links) {
        CheckHandOver(link, shown);
    }
    if (reply.object().contains(QStringLiteral("links"))) {
        FUZZ_CHECK(
            reply.object().value(QStringLiteral("links")).toInteger() == static_cast<qint64>(answer.links.size()),
            shown());
    }
}

// The answers as the browser reads them: whole frames, one per message.
void CheckFrames(const std::string& input, const char* out, std::size_t size, int expected)
{
    int frames = 0;
    std::size_t at = 0;
    while (at + 4 <= size) {
        std::uint32_t length = 0;
        std::memcpy(&length, out + at, 4);
        FUZZ_CHECK(length <= NativeMessaging::kLimit && at + 4 + length <= size, Shown(input));
        at += 4 + length;
        ++frames;
    }
    FUZZ_CHECK(at == size && frames == expected,
               Shown(input) + " gave " + std::to_string(frames) + " frames for " + std::to_string(expected));
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo;
    using namespace dromo::fuzz;
    if (size == 0) {
        return 0;  // fmemopen wants a buffer; no bytes is the end of input at once
    }
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "rb");
    char* output = nullptr;
    std::size_t outputSize = 0;
    std::FILE* out = open_memstream(&output, &outputSize);
    if (in == nullptr || out == nullptr) {
        std::abort();
    }
    NativeMessaging channel(in, out);
    TessarinHost host(Switches(), [] { return true; });
    int answers = 0;
    std::string message;
    for (;;) {
        const NativeMessaging::Status status = channel.Read(message);
        if (status == NativeMessaging::Status::TooLarge) {
            FUZZ_CHECK(channel.Write("{\"error\":\"message too large\"}"), Shown(input));
            ++answers;
            break;  // as tessarin does: the rest of that frame cannot be told from the next
        }
        if (status == NativeMessaging::Status::EndOfInput) {
            break;
        }
        FUZZ_CHECK(message.size() <= NativeMessaging::kLimit, Shown(input));
        const TessarinHost::Answer answer = host.Handle(QByteArray::fromStdString(message));
        CheckAnswer(message, answer);
        FUZZ_CHECK(channel.Write(answer.reply.toStdString()), Shown(message));
        ++answers;
    }
    std::fclose(in);
    std::fclose(out);
    CheckFrames(input, output, outputSize, answers);
    std::free(output);
    return 0;
}
