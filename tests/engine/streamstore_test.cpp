// A recording's partial file keeps every whole piece across a crash and
// nothing of a torn one; another recording's file is started again.

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "engine/partialfile.h"
#include "engine/streamstore.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::TempDir;

std::string Bytes(const StreamStore& store, const StreamStore::Span& span)
{
    return test::ReadFile(store.Path())
        .substr(static_cast<std::size_t>(span.offset), static_cast<std::size_t>(span.length));
}

// Writes the pieces (track, sequence) of a recording named "HLS\na" and
// returns the file's length after each.
std::vector<std::int64_t> Record(const std::string& target, const std::vector<std::pair<int, std::int64_t>>& pieces)
{
    PartialFile file(target);
    StreamStore store(file);
    EXPECT_EQ(store.Open("HLS\na"), "");
    std::vector<std::int64_t> lengths;
    for (const auto& [track, sequence] : pieces) {
        EXPECT_EQ(store.Append(track, sequence, test::RandomBytes(1000 + static_cast<std::size_t>(sequence), 3)), "");
        lengths.push_back(file.SizeOnDisk());
    }
    EXPECT_EQ(store.Sync(), "");
    file.Close();
    return lengths;
}

TEST(StreamStore, AResumeKeepsTheWholePiecesAndCutsATornOneOff)
{
    const std::vector<std::pair<int, std::int64_t>> pieces = {{0, -1}, {0, 7}, {1, 7}, {0, 8}, {1, 8}};
    const struct {
        const char* what;
        int keptWhole;     // pieces whole on disk
        std::int64_t cut;  // bytes cut off the last of them, or a byte spoilt
        bool spoil;
    } cases[] = {
        {"all whole", 5, 0, false},
        {"the last one's bytes half there", 4, 500, false},
        {"the last one's header torn", 4, 1018, false},
        {"a byte of the last one wrong", 4, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string target = dir.File("v.mp4");
        const std::vector<std::int64_t> lengths = Record(target, pieces);
        const std::string path = target + PartialFile::kSuffix;
        if (c.cut > 0) {
            ASSERT_EQ(::truncate(path.c_str(), lengths.back() - c.cut), 0);
        }
        if (c.spoil) {
            std::string bytes = test::ReadFile(path);
            bytes[bytes.size() - 10] ^= 0x55;
            test::WriteFile(path, bytes);
        }
        EXPECT_EQ(StreamStore::IdentityOf(path), "HLS\na");
        PartialFile file(target);
        StreamStore store(file);
        ASSERT_EQ(store.Open("HLS\na"), "");
        EXPECT_EQ(store.ResumedPieces(), static_cast<std::size_t>(c.keptWhole));
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(store.Has(pieces[i].first, pieces[i].second), i < c.keptWhole) << i;
        }
        // What comes next goes where the torn piece began, and reads back.
        ASSERT_EQ(store.Append(1, 8, "again"), "");
        EXPECT_EQ(file.SizeOnDisk(), lengths[static_cast<std::size_t>(c.keptWhole) - 1] + 28 + 5);
        const std::vector<StreamStore::Span> track = store.TrackSpans(1);
        EXPECT_EQ(store.TrackSequences(1), (std::vector<std::int64_t>{7, 8}));
        EXPECT_EQ(Bytes(store, track.back()), c.keptWhole == 5 ? test::RandomBytes(1008, 3) : "again");
        EXPECT_EQ(Bytes(store, store.TrackSpans(0).front()), test::RandomBytes(999, 3));
        file.Close();
    }
}

TEST(StreamStore, AnotherRecordingOrAnyOtherFileStartsAgainEmpty)
{
    const struct {
        const char* what;
        std::string before;  // "" for a store of "HLS\na"
        std::string identity;
    } cases[] = {
        {"another variant", "", "HLS\nb"},
        {"a partial file of a file", "plain bytes of some download", "HLS\na"},
        {"a lone magic", "DRS1", "HLS\na"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string target = dir.File("v.mp4");
        if (c.before.empty()) {
            Record(target, {{0, 1}, {0, 2}});
        } else {
            test::WriteFile(target + PartialFile::kSuffix, c.before);
        }
        PartialFile file(target);
        StreamStore store(file);
        ASSERT_EQ(store.Open(c.identity), "");
        EXPECT_EQ(store.ResumedPieces(), 0u);
        EXPECT_EQ(store.PieceBytes(), 0);
        EXPECT_FALSE(store.Has(0, 1));
        file.Close();
        EXPECT_EQ(StreamStore::IdentityOf(file.Path()), c.identity);
    }
}

// A record as the first stores wrote it: "DRS1", its FNV-1a checksum.
std::string FirstFormRecord(char type, int track, std::int64_t sequence, const std::string& bytes)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    std::string header(28, '\0');
    header.replace(0, 4, "DRS1");
    header[4] = type;
    header[5] = static_cast<char>(track);
    const auto put = [&header](std::size_t at, std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i) {
            header[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(8, bytes.size(), 4);
    put(12, static_cast<std::uint64_t>(sequence), 8);
    put(20, hash, 8);
    return header + bytes;
}

// A recording an older Dromo began goes on with the pieces it holds, and
// its checksums still tell a spoilt piece; what comes next is in today's
// form beside them.
TEST(StreamStore, ARecordingBegunInTheFirstFormGoesOn)
{
    for (const bool spoil : {false, true}) {
        SCOPED_TRACE(spoil ? "the last piece spoilt" : "whole");
        TempDir dir;
        const std::string target = dir.File("v.mp4");
        std::string older = FirstFormRecord('I', 0, 0, "HLS\na") + FirstFormRecord('P', 0, 1, "first piece") +
                            FirstFormRecord('P', 0, 2, "second piece");
        if (spoil) {
            older.back() ^= 0x20;
        }
        test::WriteFile(target + PartialFile::kSuffix, older);
        EXPECT_EQ(StreamStore::IdentityOf(target + PartialFile::kSuffix), "HLS\na");
        PartialFile file(target);
        StreamStore store(file);
        ASSERT_EQ(store.Open("HLS\na"), "");
        EXPECT_EQ(store.ResumedPieces(), spoil ? 1u : 2u);
        EXPECT_EQ(store.Has(0, 2), !spoil);
        ASSERT_EQ(store.Append(0, 3, "third piece"), "");
        ASSERT_EQ(store.Sync(), "");
        file.Close();

        PartialFile again(target);
        StreamStore resumed(again);
        ASSERT_EQ(resumed.Open("HLS\na"), "");
        EXPECT_EQ(resumed.TrackSequences(0),
                  spoil ? (std::vector<std::int64_t>{1, 3}) : (std::vector<std::int64_t>{1, 2, 3}));
        EXPECT_EQ(Bytes(resumed, resumed.TrackSpans(0).front()), "first piece");
        EXPECT_EQ(Bytes(resumed, resumed.TrackSpans(0).back()), "third piece");
        again.Close();
    }
}

}  // namespace
}  // namespace dromo
