#include "base/storage/downloadlist.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/text/privateprofile.h"
#include "tests/base/fakes/rig.h"

namespace dromo {
namespace {

struct Lists {
    test::Rig rig;
    Lists() { rig.options.maxThreadNumber = 0; }  // tasks stay queued

    void AddRow(const std::string& url, TaskRecord r)
    {
        ASSERT_EQ(rig.adder.AddTaskFromRecord(url, r), AddResult::Added);
    }
    int Load(const std::string& text)
    {
        return DownloadList::Load(text, rig.options, rig.settings.proxies, rig.table, rig.adder);
    }
};

TaskRecord Sample(const std::string& saveAs)
{
    TaskRecord r;
    r.saveAs = saveAs;
    r.user = "u";
    r.password = "p w";
    r.idleTime = 30;
    r.speedLimit = -1;
    r.errorCount = 5;
    r.retryInterval = 2;
    r.autoSave = "128";
    r.refresh = 100;
    r.pasvMode = 1;
    r.httpVersion = "1.0";
    return r;
}

TEST(DownloadList, WritesTheSelectedRowsInRowOrder)
{
    Lists l;
    l.rig.settings.proxies = {{"proxy.lan", 3128, "pu", "pp"}};
    for (int i = 0; i < 5; ++i) {
        TaskRecord r = Sample("/dl/f" + std::to_string(i));
        if (i == 3) {
            r.useProxy = 1;
            r.proxyIndex = 0;
            r.scheduled = 1;
            r.startAt = "23:5";
            r.untilFinished = 0;
            r.duration = 45;
        }
        l.AddRow("http://h/f" + std::to_string(i), r);
    }
    EXPECT_EQ(
        DownloadList::Write(l.rig.table, {3, 1}, l.rig.settings.proxies).text,
        "[Settings]\nnum=2\n\n"
        "[Task1]\nurl=http://h/f1\nsaveas=/dl/f1\nuser=u\npass=p w\nidletime=30\nspeed=-1\nerrcount=5\n"
        "interval=2\nautosave=128\nrefresh=100\nmode=1\nhttpver=1.0\nconnections=1\n\n"
        "[Task2]\nurl=http://h/f3\nsaveas=/dl/f3\nuser=u\npass=p w\nidletime=30\nspeed=-1\nerrcount=5\n"
        "interval=2\nautosave=128\nrefresh=100\nmode=1\nhttpver=1.0\nconnections=1\nproxy=proxy.lan\nproxyport=3128\n"
        "proxyuser=pu\nproxypwd=pp\nstartAt=23:5\nduration=45\n\n");
}

// A list's "httpver" is the task's version as written, "1.1" of an older
// list too; a task without one takes the options' (HTTP/2 where offered,
// unless the user chose otherwise).
TEST(DownloadList, HttpVersionIsTheListsOrTheOptions)
{
    const struct {
        const char* line;  // "" for none
        const char* option;
        const char* expected;
    } cases[] = {{"httpver=1.1\n", "2", "1.1"},
                 {"httpver=2\n", "1.1", "2"},
                 {"", "2", "2"},
                 {"", "1.1", "1.1"},
                 {"httpver=0.9\n", "2", "0.9"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " under " + c.option);
        Lists l;
        l.rig.options.httpVersion = c.option;
        ASSERT_EQ(l.Load(std::string("[Settings]\nnum=1\n[Task1]\nurl=https://h/a.zip\nsaveas=/dl/a.zip\n") + c.line),
                  1);
        EXPECT_EQ(l.rig.Task(0).httpVersion, c.expected);
        EXPECT_NE(DownloadList::Write(l.rig.table, {0}, l.rig.settings.proxies)
                      .text.find(std::string("httpver=") + c.expected + "\n"),
                  std::string::npos);
    }
}

TEST(DownloadList, RoundTripsThroughAFile)
{
    Lists l;
    TaskRecord r = Sample("/dl/a.zip");
    r.scheduled = 1;
    r.startAt = "6:0";
    r.untilFinished = 1;
    r.userAgent = "kept in memory only";
    l.AddRow("ftp://h/a.zip", r);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("dromo-list-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = DownloadList::WithExtension((dir / "list").string());
    EXPECT_EQ(path, (dir / "list.lst").string());
    EXPECT_EQ(DownloadList::WithExtension("x.LST"), "x.LST");
    // The program writes the text with the platform's atomic writer (tested
    // there, with a missing folder); any whole write does here.
    std::ofstream(path, std::ios::binary) << DownloadList::Write(l.rig.table, {0}, l.rig.settings.proxies).text;

    Lists other;
    EXPECT_EQ(
        DownloadList::LoadFile(path, other.rig.options, other.rig.settings.proxies, other.rig.table, other.rig.adder),
        1);
    const TaskRecord back = other.rig.Task(0);
    EXPECT_EQ(back.saveAs, "/dl/a.zip");
    EXPECT_EQ(back.password, "p w");
    EXPECT_EQ(back.httpVersion, "1.0");
    EXPECT_EQ(back.scheduled, 1);
    EXPECT_EQ(back.untilFinished, 1);
    EXPECT_EQ(back.startAt, "6:0");
    EXPECT_EQ(back.duration, 30);
    EXPECT_EQ(back.userAgent, "");  // the file does not carry it
    EXPECT_EQ(back.State(), TaskState::Scheduled);
    EXPECT_EQ(DownloadList::LoadFile((dir / "missing.lst").string(), other.rig.options, other.rig.settings.proxies,
                                     other.rig.table, other.rig.adder),
              -1);
    std::filesystem::remove_all(dir);
}

TEST(DownloadList, TextsWithBlanksOrQuotesAroundThemReadBackAsTheyWere)
{
    // The reader trims blanks and takes one pair of quotes off a value, so
    // such values go out quoted; every other value as it always did.
    struct Case {
        std::string password;
        std::string line;
    };
    const Case cases[] = {
        {"p w", "pass=p w\n"},
        {" lead", "pass=\" lead\"\n"},
        {"trail ", "pass=\"trail \"\n"},
        {"\tboth\v", "pass=\"\tboth\v\"\n"},
        {"\"quoted\"", "pass=\"\"quoted\"\"\n"},
        {"\"", "pass=\"\n"},
        {"in \"side\" it", "pass=in \"side\" it\n"},
    };
    for (const Case& c : cases) {
        Lists l;
        l.rig.settings.proxies = {{"proxy.lan", 3128, "pu", c.password}};
        TaskRecord r = Sample("/dl/a.zip");
        r.password = c.password;
        r.useProxy = 1;
        r.proxyIndex = 0;
        l.AddRow("http://h/a.zip", r);
        const std::string text = DownloadList::Write(l.rig.table, {0}, l.rig.settings.proxies).text;
        EXPECT_NE(text.find(c.line), std::string::npos) << text;

        Lists other;
        ASSERT_EQ(other.Load(text), 1) << text;
        EXPECT_EQ(other.rig.Task(0).password, c.password) << text;
        ASSERT_EQ(other.rig.settings.proxies.size(), 1u);
        EXPECT_EQ(other.rig.settings.proxies[0].password, c.password) << text;
    }
}

TEST(DownloadList, SettingsDefaultsProxiesAndBadSections)
{
    Lists l;
    l.rig.options.maxIdleTime = 99;
    l.rig.settings.proxies = {{"Known", 8080, "keep", "mine"}};
    const int added = l.Load(
        "[SETTINGS]\r\n"
        "Num=6\r\n"
        "speed=50\r\n"
        "proxy=known\r\nproxyport=8080\r\nproxyuser=other\r\nproxypwd=x\r\n"
        "speed=70\r\n"  // the first occurrence wins
        "\r\n"
        "[task1]\r\nURL=http://h/1\r\n"
        "[Task2]\r\nurl=http://h/2\r\nspeed=-1\r\nproxy=new.proxy\r\nproxyport=3128\r\nproxyuser=nu\r\n"
        "[Task3]\r\nurl=\r\n"
        "[Task4]\r\nurl=not a url\r\n"
        "[Task5]\r\nurl=http://h/5\r\nproxy=\r\nstartAt=7:30\r\nduration=15\r\nerrcount=1x\r\n"
        "garbage line without equals\r\n");
    EXPECT_EQ(added, 3);
    EXPECT_EQ(l.rig.messages.shown, std::vector<std::string>{"invalid url"});
    ASSERT_EQ(l.rig.table.Count(), 3);
    const TaskRecord t1 = l.rig.Task(0);
    EXPECT_EQ(t1.speedLimit, 50);
    EXPECT_EQ(t1.idleTime, 99);
    EXPECT_EQ(t1.useProxy, 1);
    EXPECT_EQ(t1.proxyIndex, 0);
    const TaskRecord t2 = l.rig.Task(1);
    EXPECT_EQ(t2.speedLimit, -1);
    EXPECT_EQ(t2.proxyIndex, 1);
    const TaskRecord t5 = l.rig.Task(2);
    EXPECT_EQ(t5.useProxy, 0);
    EXPECT_EQ(t5.scheduled, 1);
    EXPECT_EQ(t5.untilFinished, 0);
    EXPECT_EQ(t5.duration, 15);
    EXPECT_EQ(t5.errorCount, 1);
    ASSERT_EQ(l.rig.settings.proxies.size(), 2u);
    EXPECT_EQ(l.rig.settings.proxies[0].user, "keep");  // an existing entry keeps its login
    EXPECT_EQ(l.rig.settings.proxies[1], (ProxyEntry{"new.proxy", 3128, "nu", "x"}));

    // Loading the same list again adds every task again.
    EXPECT_EQ(l.Load("[Settings]\nnum=1\n[Task1]\nurl=http://h/1\n"), 1);
    EXPECT_EQ(l.Load("[Settings]\nnum=1\n[Task1]\nurl=http://h/1\n"), 1);
    EXPECT_EQ(l.Load("[Settings]\nnum=0\n[Task1]\nurl=http://h/1\n"), 0);
    EXPECT_EQ(l.Load("[Task1]\nurl=http://h/1\n"), 0);
    EXPECT_EQ(l.Load("[Settings]\nnum=2147483647\n[Task1]\nurl=http://h/1\n"), 1);
}

// Tasks load in their number order, and only the sections the file holds
// are looked at: a count or a section number near a billion loaded for
// minutes on the window's thread, one number after another.
TEST(DownloadList, OnlyTheTaskSectionsTheFileHoldsAreRead)
{
    struct Case {
        const char* list;
        std::vector<std::string> urls;
    };
    const Case cases[] = {
        {"[Settings]\nnum=999999999\n[Task999999999]\nurl=http://h/far\n[Task2]\nurl=http://h/2\n",
         {"http://h/2", "http://h/far"}},
        {"[Settings]\nnum=999999999\n[Task1]\nurl=http://h/1\n", {"http://h/1"}},
        {"[Settings]\nnum=3\n[Task3]\nurl=http://h/3\n[Task7]\nurl=http://h/7\n[Task1]\nurl=http://h/1\n",
         {"http://h/1", "http://h/3"}},
        // One section in two spellings is one task, read as the reader
        // reads it (the first one's keys).
        {"[Settings]\nnum=2\n[task2]\nurl=http://h/2\n[TASK2]\nurl=http://h/again\n", {"http://h/2"}},
    };
    for (const Case& c : cases) {
        Lists l;
        ASSERT_EQ(l.Load(c.list), static_cast<int>(c.urls.size())) << c.list;
        for (std::size_t i = 0; i < c.urls.size(); ++i) {
            EXPECT_EQ(l.rig.table.RowCopy(static_cast<int>(i)).texts[kColTarget], c.urls[i]) << c.list;
        }
    }
}

TEST(DownloadList, AnEmptyNumberReadsItsDefault)
{
    // Hand-written lists leave numbers empty; they mean "as in [Settings]"
    // (or the options), not 0, which would be a 0 KB/s limit or a 0-minute
    // schedule.
    Lists l;
    l.rig.options.maxErrorCount = 7;
    EXPECT_EQ(l.Load("[Settings]\nnum=1\nspeed=40\nerrcount=\n"
                     "[Task1]\nurl=http://h/1\nspeed=\nduration=\nstartAt=8:00\n"),
              1);
    const TaskRecord t = l.rig.Task(0);
    EXPECT_EQ(t.speedLimit, 40);
    EXPECT_EQ(t.errorCount, 7);
    EXPECT_EQ(t.scheduled, 1);
    EXPECT_EQ(t.untilFinished, 1);
    EXPECT_EQ(t.duration, 30);
}

TEST(DownloadList, ConnectionsComeFromTheTaskTheSettingsOrTheOption)
{
    // A list from before segmented downloads carries no count: its tasks
    // take the option; a count out of 1..16 reads as the nearest bound.
    struct Case {
        const char* settings;
        const char* task;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"", "", 6},
        {"connections=3\n", "", 3},
        {"connections=3\n", "connections=12\n", 12},
        {"", "connections=40\n", 16},
        {"", "connections=0\n", 1},
        {"", "connections=\n", 6},
    };
    for (const Case& c : cases) {
        Lists l;
        l.rig.options.connectionsPerTask = 6;
        ASSERT_EQ(l.Load(std::string("[Settings]\nnum=1\n") + c.settings + "[Task1]\nurl=http://h/1\n" + c.task), 1);
        EXPECT_EQ(l.rig.Task(0).connections, c.expected) << c.settings << c.task;
    }
}

// The count and the section names are the file's claims. Only the task
// sections the file holds are read, in number order whatever their order in
// the file, up to the count: a 66-byte list that claims 999,999,999 tasks
// costs no more than its one section.
TEST(DownloadList, OnlyTheSectionsTheFileHoldsAreRead)
{
    Lists l;
    EXPECT_EQ(l.Load("[Settings]\nnum=3\n"
                     "[Task3]\nurl=http://h/c\n[task1]\nurl=http://h/a\n[Task01]\nurl=http://h/zero\n"
                     "[Task4]\nurl=http://h/d\n[Task2]\nurl=http://h/b\n[Task-1]\nurl=http://h/minus\n"
                     "[Task 2x]\nurl=http://h/x\n"),
              3);
    EXPECT_EQ(l.Load("[Settings]\nnum=2147483647\n[Task2147483648]\nurl=http://h/over\n"
                     "[Task2147483647]\nurl=http://h/max\n"),
              1);
    EXPECT_EQ(l.Load("[Settings]\nnum=999999999\n\n[Task999999999]\nurl=http://h/last\n"), 1);
    std::vector<std::string> targets;
    for (int row = 0; row < l.rig.table.Count(); ++row) {
        targets.push_back(l.rig.table.RowCopy(row).texts[kColTarget]);
    }
    EXPECT_EQ(targets,
              (std::vector<std::string>{"http://h/a", "http://h/b", "http://h/c", "http://h/max", "http://h/last"}));
}

TEST(DownloadList, AChecksumTravelsWithItsTask)
{
    const std::string sum = "sha-256=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    struct Case {
        const char* task;
        std::string expected;
    };
    const Case cases[] = {
        {"", ""},
        {"checksum=sha-256=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n", sum},
        // as sha256sum prints it, in capitals: stored in the one form
        {"checksum=E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855\n", sum},
        // unreadable: kept, so the task fails with the reason, never unchecked
        {"checksum=sha-256=abc\n", "sha-256=abc"},
    };
    for (const Case& c : cases) {
        Lists l;
        ASSERT_EQ(l.Load(std::string("[Settings]\nnum=1\n[Task1]\nurl=http://h/1\n") + c.task), 1);
        EXPECT_EQ(l.rig.Task(0).checksum, c.expected) << c.task;
    }
    // Written back, and read again the same.
    Lists l;
    ASSERT_EQ(l.Load("[Settings]\nnum=1\n[Task1]\nurl=http://h/1\nchecksum=" + sum + "\n"), 1);
    const std::string text = DownloadList::Write(l.rig.table, {0}, l.rig.settings.proxies).text;
    EXPECT_NE(text.find("checksum=" + sum + "\n"), std::string::npos) << text;
    Lists again;
    ASSERT_EQ(again.Load(text), 1);
    EXPECT_EQ(again.rig.Task(0).checksum, sum);
}

// Mirrors and piece hashes go out under keys of their own, whole however
// long (a classic value is cut at 1023 characters), and come back the same;
// a list without them, or with a value that cannot be read, loads as before.
TEST(DownloadList, MirrorsAndPiecesTravelWithTheirTask)
{
    std::string mirrors = "1:de:http://a/f.iso 2::ftp://b/f.iso";
    for (int i = 0; i < 40; ++i) {
        mirrors += " 9::http://mirror" + std::to_string(i) + ".example/pub/releases/f.iso";
    }
    std::string pieces = "sha-256 1048576";
    for (int i = 0; i < 30; ++i) {
        pieces += " " + std::string(64, static_cast<char>('a' + i % 6));
    }
    ASSERT_GT(mirrors.size(), PrivateProfile::kValueLimit);
    ASSERT_GT(pieces.size(), PrivateProfile::kValueLimit);
    const struct {
        std::string task;
        std::string mirrors, pieces;
    } cases[] = {
        {"", "", ""},
        {"mirrors=" + mirrors + "\npieces=" + pieces + "\n", mirrors, pieces},
        {"mirrors=2::http://b/x 1:DE:http://a/x\n", "1:de:http://a/x 2::http://b/x", ""},
        {"mirrors=nonsense\npieces=sha-1 12 abc\n", "", ""},
    };
    for (const auto& c : cases) {
        Lists l;
        ASSERT_EQ(l.Load("[Settings]\nnum=1\n[Task1]\nurl=http://a/f.iso\n" + c.task), 1);
        EXPECT_EQ(l.rig.Task(0).mirrors, c.mirrors) << c.task;
        EXPECT_EQ(l.rig.Task(0).pieces, c.pieces) << c.task;
        const std::string text = DownloadList::Write(l.rig.table, {0}, l.rig.settings.proxies).text;
        EXPECT_EQ(text.find("mirrors=") != std::string::npos, !c.mirrors.empty()) << text;
        Lists again;
        ASSERT_EQ(again.Load(text), 1);
        EXPECT_EQ(again.rig.Task(0).mirrors, c.mirrors);
        EXPECT_EQ(again.rig.Task(0).pieces, c.pieces);
    }
}

// A value written raw with a line break in it became lines of its own: a
// URL or password ending "\nsaveas=/elsewhere/.bashrc" moved the task's
// file after Save and Load Download List, and the value came back cut. No
// line of the file can carry a line break (the classic reader has no
// escapes, and a classic file holds Windows paths full of backslashes), so
// such a task is left out of the list, and the caller says so.
TEST(DownloadList, ALineBreakInAValueLeavesItsTaskOutAndAddsNoKey)
{
    const std::string injected = "/elsewhere/.bashrc";
    const std::string breaks[] = {"\nsaveas=" + injected, "\r\nsaveas=" + injected, "\rsaveas=" + injected,
                                  "\n[Task1]\nsaveas=" + injected};
    using Set = void (*)(TaskRecord&, std::string&, ProxyEntry&, const std::string&);
    const struct {
        const char* what;
        Set set;
    } places[] = {
        {"url", [](TaskRecord&, std::string& url, ProxyEntry&, const std::string& b) { url += b; }},
        {"saveas", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.saveAs += b; }},
        {"user", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.user += b; }},
        {"pass", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.password = "pw" + b; }},
        {"autosave", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.autoSave += b; }},
        {"httpver", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.httpVersion += b; }},
        {"startAt", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.startAt += b; }},
        {"checksum", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.checksum = "x" + b; }},
        {"mirrors", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.mirrors = "x" + b; }},
        {"pieces", [](TaskRecord& r, std::string&, ProxyEntry&, const std::string& b) { r.pieces = "x" + b; }},
        {"proxy", [](TaskRecord&, std::string&, ProxyEntry& p, const std::string& b) { p.host += b; }},
        {"proxyuser", [](TaskRecord&, std::string&, ProxyEntry& p, const std::string& b) { p.user += b; }},
        {"proxypwd", [](TaskRecord&, std::string&, ProxyEntry& p, const std::string& b) { p.password += b; }},
    };
    for (const auto& place : places) {
        for (const std::string& b : breaks) {
            SCOPED_TRACE(std::string(place.what) + " holding " + b);
            Lists l;
            l.rig.settings.proxies = {{"proxy.lan", 3128, "pu", "pp"}, {"other.lan", 8080, "ou", "op"}};
            // Three tasks; the middle one's value holds the line break. It
            // is put in the table as an older profile could hold it.
            for (int i = 0; i < 3; ++i) {
                TaskRecord r = Sample("/dl/f" + std::to_string(i));
                r.useProxy = 1;
                r.proxyIndex = i == 1 ? 1 : 0;
                r.scheduled = 1;
                r.startAt = "6:0";
                std::string url = "http://h/f" + std::to_string(i);
                if (i == 1) {
                    place.set(r, url, l.rig.settings.proxies[1], b);
                }
                TaskRow row;
                row.texts[kColTarget] = url;
                ASSERT_TRUE(l.rig.table.Append(r, row));
            }
            const DownloadList::ListText written = DownloadList::Write(l.rig.table, {0, 1, 2}, l.rig.settings.proxies);
            EXPECT_EQ(written.leftOut, std::vector<int>{1});
            EXPECT_EQ(written.text.find(injected), std::string::npos) << written.text;
            // What is written is the other two, numbered without a gap,
            // each with its own values and no others.
            const PrivateProfile file(written.text);
            EXPECT_EQ(file.Sections(), (std::vector<std::string>{"settings", "task1", "task2"}));
            EXPECT_EQ(file.GetInt("Settings", "num", 0), 2);
            Lists other;
            ASSERT_EQ(other.Load(written.text), 2) << written.text;
            for (int row = 0; row < 2; ++row) {
                const TaskRecord back = other.rig.Task(row);
                const std::string name = "f" + std::to_string(row * 2);
                EXPECT_EQ(other.rig.table.RowCopy(row).texts[kColTarget], "http://h/" + name);
                EXPECT_EQ(back.saveAs, "/dl/" + name);
                EXPECT_EQ(back.password, "p w");
                EXPECT_EQ(back.startAt, "6:0");
            }
            EXPECT_EQ(other.rig.settings.proxies, (ProxyList{{"proxy.lan", 3128, "pu", "pp"}}));
        }
    }
}

// Every kind of line end ends a line, a lone carriage return too: no value
// read holds a line break, whichever the file was written with, and a
// classic CR LF file reads as it always did.
TEST(PrivateProfile, EveryLineEndEndsALine)
{
    const struct {
        const char* what;
        const char* text;
    } cases[] = {
        {"LF", "[Task1]\nurl=http://h/a\npass=p w\n"},
        {"CR LF", "[Task1]\r\nurl=http://h/a\r\npass=p w\r\n"},
        {"CR", "[Task1]\rurl=http://h/a\rpass=p w\r"},
        {"mixed, with blank lines", "\r\n[Task1]\r\rurl=http://h/a\n\r\npass=p w"},
    };
    for (const auto& c : cases) {
        const PrivateProfile p(c.text);
        EXPECT_EQ(p.Sections(), std::vector<std::string>{"task1"}) << c.what;
        EXPECT_EQ(p.GetString("Task1", "url", ""), "http://h/a") << c.what;
        EXPECT_EQ(p.GetString("Task1", "pass", ""), "p w") << c.what;
    }
}

TEST(PrivateProfile, ReadsLikeTheClassicFunctions)
{
    const PrivateProfile p("[S]\nn=-12\nm=+7abc\nq=abc\nlong=" + std::string(2000, 'x') +
                           "\nquoted=\"  spaced  \"\n  spaced key  =  v  \nbig=99999999999\n"
                           "empty=\nblank=   \nsign=-\n"
                           "[Nothing]\n; a section without values is none\n[ s ]\nn=99\nlater=1\n");
    EXPECT_EQ(p.GetInt("S", "empty", 5), 5);
    EXPECT_EQ(p.GetInt("S", "blank", 5), 5);
    EXPECT_EQ(p.GetInt("S", "sign", 5), 0);
    EXPECT_EQ(p.GetInt("s", "N", 0), -12);
    EXPECT_EQ(p.GetInt("S", "m", 0), 7);
    EXPECT_EQ(p.GetInt("S", "q", 5), 0);
    EXPECT_EQ(p.GetInt("S", "missing", 5), 5);
    EXPECT_EQ(p.GetInt("S", "big", 0), 2147483647);
    EXPECT_EQ(p.GetString("S", "long", "").size(), 1023u);
    EXPECT_EQ(p.GetString("S", "quoted", ""), "  spaced  ");
    EXPECT_EQ(p.GetString("S", "spaced key", ""), "v");
    EXPECT_EQ(p.GetString("T", "n", "dflt"), "dflt");
    // A section named again goes on where it left off; the first value of a
    // key still wins.
    EXPECT_EQ(p.GetString("S", "later", ""), "1");
    EXPECT_EQ(p.Sections(), std::vector<std::string>{"s"});
}

}  // namespace
}  // namespace dromo
