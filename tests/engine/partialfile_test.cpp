// The partial file on its own, on real files in a temporary folder: what
// reaches the disk and when, writes at offsets, the length a resume goes on
// from, Dromo's mark and records, and writes the disk refuses.

#include "engine/partialfile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::int64_t SizeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// Writes past `bytes` fail as on a full disk, for as long as it lives: the
// system writes what fits and refuses the rest (EFBIG).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
};

TEST(PartialFile, BytesReachTheDiskAtEveryStepAndAllOfThemOnFlush)
{
    const std::string piece1k(1024, 'a');
    const struct {
        const char* what;
        std::size_t step;
        std::vector<std::size_t> pieces;
        std::int64_t onDiskBeforeFlush;
    } cases[] = {
        {"small pieces wait for the step", 64 * 1024, {1000, 1000, 1000}, 0},
        {"the step reached writes them all", 2048, {1000, 1000, 1000}, 3000},
        {"a large piece goes straight to disk", 64 * 1024, {20000}, 20000},
        {"a large piece after a small one joins the buffer", 64 * 1024, {10, 20000}, 0},
        {"a step of one writes every piece", 1, {1, 7, 300}, 308},
        {"a step of zero is a step of one", 0, {5, 5}, 10},
    };
    for (const auto& c : cases) {
        TempDir dir;
        PartialFile file(dir.File("f.bin"));
        ASSERT_EQ(file.Open(true), "") << c.what;
        file.SetFlushStep(c.step);
        std::string all;
        for (std::size_t n : c.pieces) {
            const std::string piece = test::RandomBytes(n, static_cast<unsigned>(all.size() + n));
            ASSERT_TRUE(file.Write(piece.data(), piece.size())) << c.what;
            all += piece;
        }
        EXPECT_EQ(file.Size(), static_cast<std::int64_t>(all.size())) << c.what << ": buffered bytes count";
        EXPECT_EQ(file.SizeOnDisk(), c.onDiskBeforeFlush) << c.what;
        ASSERT_TRUE(file.Flush()) << c.what;
        EXPECT_EQ(ReadFile(file.Path()), all) << c.what;
    }
}

TEST(PartialFile, AResumeGoesOnFromTheBytesOnDiskAndATruncatedOpenStartsEmpty)
{
    TempDir dir;
    const std::string target = dir.File("r.bin");
    const struct {
        const char* what;
        bool truncate;
        std::string expected;
    } cases[] = {
        {"resumed", false, "0123456789abc"},
        {"emptied", true, "abc"},
    };
    for (const auto& c : cases) {
        WriteFile(target + PartialFile::kSuffix, "0123456789");
        PartialFile file(target);
        EXPECT_EQ(file.SizeOnDisk(), 10) << c.what;
        ASSERT_EQ(file.Open(c.truncate), "") << c.what;
        EXPECT_EQ(file.Size(), c.truncate ? 0 : 10) << c.what;
        ASSERT_TRUE(file.Write("abc", 3)) << c.what;
        EXPECT_EQ(file.Size(), static_cast<std::int64_t>(c.expected.size())) << c.what;
        file.Close();
        EXPECT_EQ(ReadFile(target + PartialFile::kSuffix), c.expected) << c.what;
        EXPECT_EQ(PartialFile(target).SizeOnDisk(), static_cast<std::int64_t>(c.expected.size())) << c.what;
    }
    EXPECT_EQ(PartialFile(dir.File("none.bin")).SizeOnDisk(), -1);
    ::mkdir(dir.File("folder.bin+++").c_str(), 0755);
    EXPECT_EQ(PartialFile(dir.File("folder.bin")).SizeOnDisk(), -1) << "a folder is no partial file";
}

TEST(PartialFile, RangesWrittenAtTheirOffsetsMakeTheWholeFileInAnyOrder)
{
    TempDir dir;
    const std::string content = test::RandomBytes(300000, 5);
    const struct {
        const char* what;
        std::vector<std::pair<std::size_t, std::size_t>> ranges;  // first byte, length
    } cases[] = {
        {"in order", {{0, 100000}, {100000, 100000}, {200000, 100000}}},
        {"last first", {{200000, 100000}, {0, 100000}, {100000, 100000}}},
        {"in small uneven pieces", {{299999, 1}, {0, 7}, {7, 150000}, {150007, 149992}}},
    };
    for (const auto& c : cases) {
        PartialFile file(dir.File("s.bin"));
        ASSERT_EQ(file.Open(true), "") << c.what;
        ASSERT_TRUE(file.Extend(static_cast<std::int64_t>(content.size()))) << c.what;
        EXPECT_EQ(file.SizeOnDisk(), static_cast<std::int64_t>(content.size())) << c.what << ": holes count";
        for (const auto& [first, length] : c.ranges) {
            ASSERT_TRUE(file.WriteAt(static_cast<std::int64_t>(first), content.data() + first, length)) << c.what;
        }
        EXPECT_EQ(file.SyncData(), "") << c.what;
        file.Close();
        EXPECT_TRUE(ReadFile(file.Path()) == content) << c.what;
    }

    // What no range wrote yet reads as zeros, never as older bytes.
    PartialFile file(dir.File("h.bin"));
    ASSERT_EQ(file.Open(true), "");
    ASSERT_TRUE(file.Extend(10));
    ASSERT_TRUE(file.WriteAt(4, "xy", 2));
    file.Close();
    EXPECT_EQ(ReadFile(file.Path()), std::string("\0\0\0\0xy\0\0\0\0", 10));
}

TEST(PartialFile, OpeningMarksTheFileAsDromosAndKeepsWhatWasStoredWithIt)
{
    TempDir dir;
    const std::string target = dir.File("m.bin");
    WriteFile(target + PartialFile::kSuffix, "foreign");
    EXPECT_FALSE(PartialFile(target).Marked()) << "a file of that name somebody else left";

    {
        PartialFile file(target);
        ASSERT_EQ(file.Open(false), "");
        EXPECT_TRUE(file.Marked());
        EXPECT_EQ(file.StoredValidator(), "");
        file.StoreValidator("etag=\"v1\"\nsize=7\n");
        EXPECT_TRUE(file.StoreRanges("7\n0-3\n"));
    }
    {
        PartialFile file(target);
        EXPECT_EQ(file.StoredValidator(), "etag=\"v1\"\nsize=7\n");
        EXPECT_EQ(file.StoredRanges(), "7\n0-3\n");
        ASSERT_EQ(file.Open(false), "");  // a resume keeps both
        EXPECT_EQ(file.StoredValidator(), "etag=\"v1\"\nsize=7\n");
        EXPECT_EQ(file.StoredRanges(), "7\n0-3\n");
        EXPECT_TRUE(file.StoreRanges(""));
        EXPECT_EQ(file.StoredRanges(), "");
        EXPECT_TRUE(file.StoreRanges("")) << "removing what is not there is no failure";
        EXPECT_TRUE(file.StoreRanges("7\n0-3\n"));
    }
    {
        PartialFile file(target);
        ASSERT_EQ(file.Open(true), "");  // a fresh start forgets both, and stays Dromo's
        EXPECT_EQ(file.StoredValidator(), "");
        EXPECT_EQ(file.StoredRanges(), "");
        EXPECT_TRUE(file.Marked());
    }
    PartialFile closed(dir.File("closed.bin"));
    EXPECT_FALSE(closed.StoreRanges("1\n0-1\n")) << "nothing is stored before the file is open";
}

TEST(PartialFile, AWriteTheDiskRefusesFailsWithItsReasonAndCountsOnlyTheBytesWritten)
{
    const std::string data = test::RandomBytes(40000, 9);
    const struct {
        const char* what;
        std::size_t step;
        std::vector<std::size_t> pieces;  // written until one fails
        rlim_t limit;
        std::size_t failsAt;  // the piece that fails
    } cases[] = {
        {"a large piece cut short", 64 * 1024, {20000, 20000}, 25000, 1},
        {"a buffered flush cut short", 4096, {3000, 3000}, 5000, 1},
        {"the limit reached exactly, then one byte more", 1, {5000, 1}, 5000, 1},
    };
    for (const auto& c : cases) {
        TempDir dir;
        PartialFile file(dir.File("full.bin"));
        ASSERT_EQ(file.Open(true), "") << c.what;
        file.SetFlushStep(c.step);
        std::size_t at = 0;
        {
            FileSizeLimit limit(c.limit);
            for (std::size_t i = 0; i < c.pieces.size(); ++i) {
                const bool ok = file.Write(data.data() + at, c.pieces[i]);
                EXPECT_EQ(ok, i != c.failsAt) << c.what << ": piece " << i;
                at += c.pieces[i];
            }
        }
        EXPECT_EQ(file.WriteError(), std::strerror(EFBIG)) << c.what;
        file.Flush();
        // The count a resume would take matches the disk: nothing unwritten
        // passes for present.
        EXPECT_EQ(file.Size(), static_cast<std::int64_t>(c.limit)) << c.what;
        EXPECT_EQ(SizeOf(file.Path()), static_cast<std::int64_t>(c.limit)) << c.what;
        EXPECT_TRUE(ReadFile(file.Path()) == data.substr(0, c.limit)) << c.what;
    }
}

TEST(PartialFile, ARangeTheDiskRefusesFailsWithItsReason)
{
    TempDir dir;
    PartialFile file(dir.File("r.bin"));
    ASSERT_EQ(file.Open(true), "");
    const std::string data(1000, 'r');
    {
        FileSizeLimit limit(4096);
        EXPECT_TRUE(file.WriteAt(0, data.data(), data.size()));
        EXPECT_FALSE(file.WriteAt(4096, data.data(), data.size()));
    }
    EXPECT_EQ(file.WriteError(), std::strerror(EFBIG));
    EXPECT_EQ(ReadFile(file.Path()), data);

    // A full disk: the partial file's name leads to /dev/full.
    ASSERT_EQ(::symlink("/dev/full", dir.File("d.bin+++").c_str()), 0);
    PartialFile full(dir.File("d.bin"));
    ASSERT_EQ(full.Open(false), "");
    EXPECT_FALSE(full.Write(data.data(), data.size()) && full.Flush());
    EXPECT_EQ(full.WriteError(), std::strerror(ENOSPC));
    EXPECT_EQ(full.Size(), 0);
    EXPECT_FALSE(full.WriteAt(0, data.data(), data.size()));
    EXPECT_EQ(full.WriteError(), std::strerror(ENOSPC));

    PartialFile closed(dir.File("c.bin"));
    EXPECT_FALSE(closed.Write("x", 1));
    EXPECT_EQ(closed.WriteError(), "the file is not open");
    EXPECT_FALSE(closed.WriteAt(0, "x", 1));
    EXPECT_FALSE(closed.Extend(10));
    EXPECT_EQ(closed.SyncData(), "the file is not open");
}

TEST(PartialFile, AFileThatCannotBeOpenedSaysWhy)
{
    TempDir dir;
    PartialFile file(dir.File("missing/f.bin"));
    EXPECT_EQ(file.Open(true), std::strerror(ENOENT));
    EXPECT_FALSE(file.Write("x", 1));
}

TEST(PartialFile, FinishingRenamesWithoutReplacingAndKeepsTheRecord)
{
    const struct {
        const char* what;
        std::vector<std::string> present;  // files already there
        std::string destination;           // "" for the target
        std::vector<std::string> refused;  // names mayTake refuses
        std::string expected;
    } cases[] = {
        {"the target", {}, "", {}, "f.bin"},
        {"the server's name", {}, "g.bin", {}, "g.bin"},
        {"a file of the name is never replaced", {"f.bin"}, "", {}, "f (1).bin"},
        {"nor is a name the task list holds", {}, "", {"f.bin"}, "f (1).bin"},
        {"the next free number", {"f.bin", "f (1).bin"}, "", {"f (2).bin"}, "f (3).bin"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        for (const std::string& name : c.present) {
            WriteFile(dir.File(name), "other");
        }
        PartialFile file(dir.File("f.bin"));
        ASSERT_EQ(file.Open(true), "") << c.what;
        ASSERT_TRUE(file.Write("data", 4)) << c.what;
        file.StoreValidator("etag=\"v1\"\n");
        ASSERT_TRUE(file.StoreRanges("4\n"));
        file.SetFinishedTime(1700000000);
        const auto mayTake = [&](const std::string& path) {
            for (const std::string& name : c.refused) {
                if (path == dir.File(name)) {
                    return false;
                }
            }
            return true;
        };
        const std::string destination = c.destination.empty() ? "" : dir.File(c.destination);
        ASSERT_EQ(file.Finish(destination, mayTake), "") << c.what;
        EXPECT_EQ(file.Target(), dir.File(c.expected)) << c.what;
        EXPECT_EQ(ReadFile(dir.File(c.expected)), "data") << c.what;
        EXPECT_EQ(SizeOf(dir.File("f.bin+++")), -1) << c.what;
        for (const std::string& name : c.present) {
            EXPECT_EQ(ReadFile(dir.File(name)), "other") << c.what;
        }
        EXPECT_EQ(PartialFile::FinishedRecord(file.Target()), "etag=\"v1\"\n") << c.what;
        EXPECT_LT(::getxattr(file.Target().c_str(), "user.dromo.ranges", nullptr, 0), 0) << c.what;
        EXPECT_LT(::getxattr(file.Target().c_str(), "user.dromo.validator", nullptr, 0), 0)
            << c.what << ": a finished file never passes for a partial one";
        struct stat st {};
        ASSERT_EQ(::stat(file.Target().c_str(), &st), 0);
        EXPECT_EQ(st.st_mtim.tv_sec, 1700000000) << c.what;
        EXPECT_EQ(st.st_mtim.tv_nsec, 0) << c.what;
    }
}

// The finished file carries the validator last stored as its record and no
// partial file's attribute, whatever an earlier file of that name held and
// whoever changed the attributes while the file was closed.
TEST(PartialFile, TheFinishedRecordIsTheLastValidatorWhateverTheFileHeldBefore)
{
    const struct {
        const char* what;
        bool before;  // an earlier partial file with every attribute
        bool truncate;
        const char* opened;     // the validator given at the open; nullptr: none
        const char* stored;     // then stored; nullptr: none
        bool closedAndChanged;  // closed, then its attributes changed by another writer
        const char* record;
    } cases[] = {
        {"a new file", false, true, "etag=\"n\"\n", nullptr, false, "etag=\"n\"\n"},
        {"a new file the server named no version of", false, true, "", nullptr, false, ""},
        {"a new file, its validator stored later", false, true, nullptr, "etag=\"l\"\n", false, "etag=\"l\"\n"},
        {"an old file started again", true, true, "etag=\"n\"\n", nullptr, false, "etag=\"n\"\n"},
        {"an old file resumed", true, false, "etag=\"r\"\n", nullptr, false, "etag=\"r\"\n"},
        {"an old file resumed, no validator given", true, false, nullptr, nullptr, false, "etag=\"old\"\n"},
        {"closed and changed by another run", false, true, "etag=\"n\"\n", nullptr, true, "etag=\"other\"\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string target = dir.File("f.bin");
        const std::string partial = target + PartialFile::kSuffix;
        const auto set = [](const std::string& path, const char* name, const std::string& value) {
            ASSERT_EQ(::setxattr(path.c_str(), name, value.data(), value.size(), 0), 0) << name;
        };
        if (c.before) {
            WriteFile(partial, "old");
            set(partial, "user.dromo.validator", "etag=\"old\"\n");
            set(partial, "user.dromo.ranges", "3\n");
            set(partial, "user.dromo.pieces", "mark");
        }
        PartialFile file(target);
        ASSERT_EQ(c.opened ? file.Open(c.truncate, c.opened) : file.Open(c.truncate), "") << c.what;
        if (c.truncate) {
            EXPECT_LT(::getxattr(partial.c_str(), "user.dromo.ranges", nullptr, 0), 0) << c.what;
            EXPECT_LT(::getxattr(partial.c_str(), "user.dromo.pieces", nullptr, 0), 0) << c.what;
        }
        EXPECT_TRUE(file.Marked()) << c.what;
        if (c.stored) {
            file.StoreValidator(c.stored);
        }
        ASSERT_TRUE(file.Write("data", 4)) << c.what;
        if (c.closedAndChanged) {
            file.Close();
            set(partial, "user.dromo.validator", "etag=\"other\"\n");
            set(partial, "user.dromo.ranges", "4\n");
        }
        ASSERT_EQ(file.Finish(), "") << c.what;
        EXPECT_EQ(PartialFile::FinishedRecord(target), c.record) << c.what;
        for (const char* name : {"user.dromo.validator", "user.dromo.ranges", "user.dromo.pieces"}) {
            EXPECT_LT(::getxattr(target.c_str(), name, nullptr, 0), 0) << c.what << ": " << name;
        }
        EXPECT_EQ(ReadFile(target), c.truncate ? "data" : "olddata") << c.what;
    }
}

}  // namespace
}  // namespace dromo
