// dromo-fetch takes passwords from the environment or standard input, so
// they need not stand in its argv, which every user can read with ps.

#include <gtest/gtest.h>

#include "tests/support/testservers.h"

namespace dromo {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(DromoFetch, PasswordsComeFromTheEnvironmentStandardInputOrTheOption)
{
    TempDir www;
    TempDir out;
    const std::string data = test::RandomBytes(20000, 7);
    WriteFile(www.File("a.bin"), data);
    test::FtpServer ftp(www.Path());
    const std::string url = ftp.Url("/a.bin");
    const struct {
        const char* how;
        std::vector<std::string> before;  // ahead of the program: env assignments
        std::vector<std::string> options;
        std::string input;
        int status;
    } cases[] = {
        {"option", {}, {"--password", "secret"}, "", 0},
        {"stdin", {}, {"--password-stdin"}, "secret\n", 0},
        {"stdin without a line end", {}, {"--password-stdin"}, "secret", 0},
        {"environment", {"DROMO_FETCH_PASSWORD=secret"}, {}, "", 0},
        {"stdin before the environment", {"DROMO_FETCH_PASSWORD=wrong"}, {"--password-stdin"}, "secret\n", 0},
        {"option before the environment", {"DROMO_FETCH_PASSWORD=wrong"}, {"--password", "secret"}, "", 0},
        {"wrong in the environment", {"DROMO_FETCH_PASSWORD=wrong"}, {}, "", 1},
        {"nothing on stdin", {}, {"--password-stdin"}, "", 2},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv = {"env"};
        argv.insert(argv.end(), c.before.begin(), c.before.end());
        argv.push_back(DROMO_FETCH);
        argv.insert(argv.end(), {"--quiet", "--user", "user"});
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        const std::string target = out.File(std::string("f-") + std::to_string(&c - cases) + ".bin");
        argv.insert(argv.end(), {url, target});
        // Standard input from a file, empty for the cases that give none.
        const std::string input = out.File("input.txt");
        WriteFile(input, c.input);
        std::string output;
        EXPECT_EQ(test::RunCommand(argv, &output, input), c.status) << c.how << ": " << output;
        if (c.status == 0) {
            EXPECT_TRUE(ReadFile(target) == data) << c.how;
        }
    }
}

TEST(DromoFetch, ARefusedUrlIsReportedWithoutItsLogin)
{
    std::string output;
    EXPECT_EQ(test::RunCommand({DROMO_FETCH, "gopher://alice:pa55word@h/x", "/tmp/never"}, &output), 2);
    EXPECT_NE(output.find("gopher://h/x"), std::string::npos) << output;
    EXPECT_EQ(output.find("pa55word"), std::string::npos) << output;
}

}  // namespace
}  // namespace dromo
