// The stored forms of a Metalink's mirrors and piece hashes, and how its
// files are told from other downloads.

#include "base/text/mirrorlist.h"

#include <gtest/gtest.h>

#include "base/text/metalinkdocument.h"
#include "base/text/piecehashes.h"

namespace dromo {
namespace {

TEST(MirrorList, KeepsTheMostWantedFirstAndReadsBackItsStoredForm)
{
    MirrorList list;
    list.Add({"http://c/f", 5, "XX"});
    list.Add({"http://a/f", 1, "de"});
    list.Add({"ftp://none/f", kMirrorPriorityNone, ""});
    list.Add({"http://b/f two", 5, "Germany"});  // same priority: after the first; no country code
    list.Add({"http://z/f", -3, "fr"});          // out of range: the best there is
    const std::string stored =
        "1:de:http://a/f 1:fr:http://z/f 5:xx:http://c/f 5::http://b/f%20two "
        "999999::ftp://none/f";
    EXPECT_EQ(list.Stored(), stored);
    ASSERT_NE(list.Best(), nullptr);
    EXPECT_EQ(list.Best()->url, "http://a/f");
    const std::optional<MirrorList> again = MirrorList::Parse(stored);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Mirrors(), list.Mirrors());
    EXPECT_EQ(MirrorList().Best(), nullptr);

    const struct {
        const char* stored;
        bool readable;
    } cases[] = {
        {"", true},
        {"  1::http://a/f  ", true},
        {"1::http://a/f:8080/x", true},  // a colon in the URL is the URL's
        {"http://a/f", false},
        {"1:http://a/f", false},
        {"0::http://a/f", false},
        {"1000000::http://a/f", false},
        {"x::http://a/f", false},
        {"1:deu:http://a/f", false},
        {"1::", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MirrorList::Parse(c.stored).has_value(), c.readable) << c.stored;
    }
}

TEST(PieceHashes, StoredFormReadsBackAndBadOnesAreRefused)
{
    const std::string a(40, 'a');
    const std::string b(40, 'B');
    const std::optional<PieceHashes> pieces = PieceHashes::Parse("sha1 262144 " + a + "  " + b);
    ASSERT_TRUE(pieces);
    EXPECT_EQ(pieces->Algorithm(), DigestAlgorithm::Sha1);
    EXPECT_EQ(pieces->Length(), 262144);
    ASSERT_EQ(pieces->Hashes().size(), 2u);
    EXPECT_EQ(pieces->Hashes()[0], std::string(20, '\xaa'));
    EXPECT_EQ(pieces->Stored(), "sha-1 262144 " + a + " " + std::string(40, 'b'));
    EXPECT_TRUE(PieceHashes::Parse("")->Empty());
    EXPECT_EQ(PieceHashes().Stored(), "");
    for (const std::string& bad :
         std::initializer_list<std::string>{"sha-1", "sha-1 0 " + a, "sha-1 -4 " + a, "sha-1 1x " + a, "sha-1 4",
                                            "sha-1 4 " + a.substr(2), "crc32 4 00000000", "sha-256 4 " + a}) {
        EXPECT_FALSE(PieceHashes::Parse(bad)) << bad;
    }
}

TEST(MetalinkDocument, NamesAndTypesThatMeanAMetalinkFile)
{
    const struct {
        const char* text;
        bool name;
        bool type;
    } cases[] = {
        {"/home/u/f.meta4", true, false},           {"http://h/pub/F.METALINK?x=1#y", true, false},
        {"http://h/f.meta4.txt", false, false},     {"http://h/get?f=a.meta4", false, false},
        {"application/metalink4+xml", false, true}, {"Application/Metalink+XML; charset=utf-8", false, true},
        {"application/xml", false, false},          {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsMetalinkName(c.text), c.name) << c.text;
        EXPECT_EQ(IsMetalinkMimeType(c.text), c.type) << c.text;
    }
}

// The rules apply to what any reader found: a document the reader refused
// keeps its reason, and every part is checked again here.
TEST(MetalinkDocument, CheckingKeepsTheReadersErrorAndTheLimits)
{
    MetalinkDocument refused;
    refused.error = "Line 4: something";
    EXPECT_EQ(CheckMetalink(refused).error, "Line 4: something");

    MetalinkDocument many;
    many.files.resize(kMetalinkMaxFiles + 1);
    EXPECT_EQ(CheckMetalink(many).error, "The Metalink file lists more than 1000 files.");

    MetalinkDocument urls;
    urls.files.push_back({7, "a", false, "", {}, {}, {}});
    urls.files[0].urls.resize(kMetalinkMaxUrls + 1, {0, "http://a/f", "", "", "", ""});
    EXPECT_EQ(CheckMetalink(urls).error, "Line 7: the file \"a\" lists more than 500 URLs.");

    MetalinkDocument good;
    good.files.push_back({3, "a.iso", true, " 12 ", {{4, " http://a/f\n", "x", "", "", ""}}, {}, {}});
    const MetalinkReading reading = CheckMetalink(good);
    ASSERT_TRUE(reading.Ok()) << reading.error;
    EXPECT_EQ(reading.files[0].size, 12);
    EXPECT_EQ(reading.files[0].mirrors.Stored(), "999999::http://a/f");
}

}  // namespace
}  // namespace dromo
