// The program and dromo-fetch take a Metalink file the same way: from the
// same document they fetch the same files from the same mirrors in the same
// order, check them by the same digests and pieces, name them alike and
// send what was given for the document's server to that server only. The
// program's side runs as it does at home (TaskAdder, the stored task, a
// worker handing it to the engine); dromo-fetch's hands its transfer to an
// engine as the command does.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "base/ports/progresssink.h"
#include "base/text/metalinktransfer.h"
#include "base/text/parseurl.h"
#include "base/values/taskrecord.h"
#include "engine/metalinkcommand.h"
#include "engine/metalinkxml.h"
#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

// What one file's transfer handed the engine, as the scripted engine
// records the calls: the digests, mirrors and pieces, then the fetch.
struct Handed {
    std::vector<std::string> calls;
    bool operator==(const Handed&) const = default;
};

bool Wanted(const std::string& call)
{
    for (const char* name : {"SetExpectedDigests ", "SetMirrors ", "SetPieceHashes "}) {
        if (call.rfind(name, 0) == 0) {
            return true;
        }
    }
    return false;
}

// The program's transfers, one per task, each ending at its HttpGet/FtpGet
// (the login left out: the program's comes from the options).
std::vector<Handed> ProgramHanded(const std::vector<std::string>& calls)
{
    std::vector<Handed> out(1);
    for (const std::string& call : calls) {
        if (Wanted(call)) {
            out.back().calls.push_back(call);
        } else if (call.rfind("HttpGet ", 0) == 0 || call.rfind("FtpGet ", 0) == 0) {
            out.back().calls.push_back(call.substr(0, call.rfind(' ')));
            out.emplace_back();
        }
    }
    out.pop_back();
    return out;
}

class Silent : public ProgressSink {
public:
    void OnProgress(const Progress&) override {}
};

// dromo-fetch's transfer of a file, as the command prepares the engine and
// fetches into `folder` under the file's name.
Handed FetchHanded(const MetalinkTransfer& transfer, const std::string& folder)
{
    test::Script script;
    Silent sink;
    test::ScriptedEngine engine(script, sink);
    PrepareMetalinkTransfer(engine, transfer, true);
    script.Add(test::Step::Ok());
    // The fetch as dromo-fetch makes it, with the login the program's
    // options would give.
    if (const std::optional<ParsedUrl> url = ParseUrl(transfer.url)) {
        const std::string target = folder + transfer.name;
        if (IsFtpProtocol(url->protocol)) {
            engine.FtpGet(url->host, url->port, url->remotePath, target, "", "");
        } else {
            engine.HttpGet(url->host, url->port, url->remotePath, target, "", "");
        }
    }
    return ProgramHanded(script.Calls()).at(0);
}

std::string Url(const std::string& url, const std::string& attributes = "")
{
    return "<url" + attributes + ">" + url + "</url>";
}

std::string File(const std::string& name, const std::string& inner)
{
    return "<file name=\"" + name + "\">" + inner + "</file>";
}

std::string Meta4(const std::string& files)
{
    return "<?xml version=\"1.0\"?><metalink xmlns=\"urn:ietf:params:xml:ns:metalink\">" + files + "</metalink>";
}

const std::string kSha256 = std::string(64, 'a');
const std::string kMd5 = std::string(32, 'b');
const std::string kPiece = std::string(40, 'c');

TEST(MetalinkPaths, TheProgramAndDromoFetchMakeTheSameTransfers)
{
    const struct {
        const char* what;
        std::string document;
        std::string source;  // where the document came from
        // Per file, in order: the name, the mirrors as stored, whether the
        // login and Cookie header given for the source go along.
        std::vector<std::tuple<std::string, std::string, bool>> files;
    } cases[] = {
        {"several files, the first on another server, the second on the document's",
         Meta4(File("a.iso", "<size>2048</size><hash type=\"sha-256\">" + kSha256 + "</hash>" +
                                 "<pieces type=\"sha-1\" length=\"1024\"><hash>" + kPiece + "</hash><hash>" + kPiece +
                                 "</hash></pieces>" + Url("http://m2.example/a.iso", " priority=\"2\"") +
                                 Url("https://m1.example/a.iso", " priority=\"1\" location=\"de\"")) +
               File("b.iso", "<hash type=\"md5\">" + kMd5 + "</hash>" + Url("https://Src.Example/b.iso"))),
         "https://src.example/all.meta4",
         {{"a.iso", "1:de:https://m1.example/a.iso 2::http://m2.example/a.iso", false},
          {"b.iso", "999999::https://Src.Example/b.iso", true}}},
        {"a bad mirror, a torrent and a mirror of another port are passed over or kept apart",
         Meta4(File("c.bin", Url("http://") + Url("gopher://g.example/c.bin") +
                                 Url("http://t.example/c.torrent", " type=\"bittorrent\"") +
                                 Url("http://src.example:8080/c.bin", " priority=\"5\"") +
                                 Url("ftp://f.example/c.bin"))),
         "http://src.example/c.meta4",
         {{"c.bin", "5::http://src.example:8080/c.bin 999999::ftp://f.example/c.bin", false}}},
        {"names a folder must not take as they are",
         Meta4(File(" spaced.iso ", Url("http://src.example/s.iso")) +
               File("\xE2\x80\xAEosi.exe", Url("http://src.example/r.iso"))),
         "",
         {{"spaced.iso", "999999::http://src.example/s.iso", true},
          {"_osi.exe", "999999::http://src.example/r.iso", true}}},
        {"a name outside the folder refuses the whole document",
         Meta4(File("ok.iso", Url("http://src.example/ok.iso")) + File("../x.iso", Url("http://src.example/x.iso"))),
         "",
         {}},
        {"an FTP mirror most wanted leads, the HTTP one after it",
         Meta4(File("d.iso", Url("https://h.example/d.iso", " priority=\"2\"") +
                                 Url("ftp://src.example/d.iso", " priority=\"1\""))),
         "ftp://src.example/d.meta4",
         {{"d.iso", "1::ftp://src.example/d.iso 2::https://h.example/d.iso", true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const MetalinkReading reading = MetalinkXml().Read(c.document);

        test::Rig rig;
        MetalinkSource source{c.source, {}};
        source.details.cookie = "s=1";
        const int added = rig.adder.AddMetalink(reading, "/dl", c.source.empty() ? nullptr : &source);
        ASSERT_EQ(added, static_cast<int>(c.files.size()));
        EXPECT_EQ(rig.messages.shown.empty(), reading.Ok());
        ASSERT_TRUE(rig.WaitIdle());
        const std::vector<Handed> program = ProgramHanded(rig.engines.script.Calls());
        ASSERT_EQ(program.size(), c.files.size());

        const std::optional<MetalinkTransfer> first = FirstMetalinkTransfer(reading, c.source);
        EXPECT_EQ(first.has_value(), !c.files.empty());
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            const auto& [name, mirrors, sourceServer] = c.files[i];
            SCOPED_TRACE(name);
            // dromo-fetch fetches the first file; the others as it would
            // were each the first.
            const MetalinkTransfer transfer = i == 0 ? *first : MetalinkTransferOf(reading.files[i], c.source);
            EXPECT_EQ(transfer.name, name);
            EXPECT_EQ(transfer.mirrors.Stored(), mirrors);
            EXPECT_EQ(transfer.sourceServer, sourceServer);
            EXPECT_EQ(program[i], FetchHanded(transfer, "/dl/"));
            const TaskRecord task = rig.Task(static_cast<int>(i));
            EXPECT_EQ(task.saveAs, "/dl/" + name);
            EXPECT_EQ(task.mirrors, mirrors);
            if (!c.source.empty()) {
                EXPECT_EQ(task.cookie, sourceServer ? "s=1" : "") << "the Cookie header went where the login would not";
            }
        }
    }
}

}  // namespace
}  // namespace dromo
