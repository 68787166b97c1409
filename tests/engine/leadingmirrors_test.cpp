// Who leads a transfer call after a refusal, which mirrors give its ranges,
// and the failure a call whose every leader refused comes to.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/leadingmirrors.h"

namespace dromo {
namespace {

Lead Http(const std::string& name)
{
    Lead lead;
    lead.url = "http://" + name + ":80/f.bin";
    lead.host = name;
    lead.port = 80;
    return lead;
}

Lead Ftp(const std::string& name)
{
    Lead lead = Http(name);
    lead.url = "ftp://" + name + ":21/f.bin";
    lead.ftp = true;
    return lead;
}

std::vector<std::string> Urls(const std::vector<MirrorSource>& sources)
{
    std::vector<std::string> urls;
    for (const MirrorSource& s : sources) {
        urls.push_back(s.url);
    }
    return urls;
}

TEST(LeadingMirrors, EachRefusalHandsTheLeadOnAndTheOthersAreTheHttpOnesNotLeft)
{
    LeadingMirrors leads({Http("a"), Ftp("b"), Http("c"), Http("d")});
    EXPECT_EQ(leads.Current().url, Http("a").url);
    EXPECT_EQ(Urls(leads.Others()), (std::vector<std::string>{Http("c").url, Http("d").url}));
    ASSERT_TRUE(leads.Leave("Error 404 from server: Not Found", TransferOutcome::NotFound));
    EXPECT_EQ(leads.Current().url, Ftp("b").url) << "an FTP mirror may lead";
    EXPECT_EQ(Urls(leads.Others()), (std::vector<std::string>{Http("c").url, Http("d").url}));
    ASSERT_TRUE(leads.Leave("Fail to connect to b:21: refused", TransferOutcome::Failed));
    EXPECT_EQ(leads.Current().url, Http("c").url);
    EXPECT_EQ(Urls(leads.Others()), std::vector<std::string>{Http("d").url}) << "the left ones give no ranges";
    ASSERT_TRUE(leads.Leave("Error 503 from server: Busy", TransferOutcome::ServerError));
    EXPECT_EQ(leads.Current().url, Http("d").url);
    EXPECT_TRUE(leads.Others().empty());
    EXPECT_FALSE(leads.Leave("Error 410 from server: Gone", TransferOutcome::Gone));
}

// A task that may take more than one connection: an FTP server moves the
// file over one, so the HTTP(S) mirrors lead before it, each refusal
// handing on to the next of them, and it leads only when they are left.
TEST(LeadingMirrors, HttpMirrorsLeadBeforeAnFtpOneWhenTheTaskSplits)
{
    const struct {
        const char* what;
        std::vector<Lead> leads;
        bool split;
        std::vector<std::string> leaders;  // in the order they lead, each leaving for the next
        std::vector<std::string> others;   // the ranges' mirrors beside the first leader
    } cases[] = {
        {"the most wanted is FTP",
         {Ftp("a"), Http("b"), Ftp("c"), Http("d")},
         true,
         {Http("b").url, Http("d").url, Ftp("a").url, Ftp("c").url},
         {Http("d").url}},
        {"one connection: the order as given",
         {Ftp("a"), Http("b"), Ftp("c"), Http("d")},
         false,
         {Ftp("a").url, Http("b").url, Ftp("c").url, Http("d").url},
         {Http("b").url, Http("d").url}},
        {"FTP alone", {Ftp("a"), Ftp("c")}, true, {Ftp("a").url, Ftp("c").url}, {}},
        {"HTTP first already",
         {Http("b"), Ftp("a"), Http("d")},
         true,
         {Http("b").url, Http("d").url, Ftp("a").url},
         {Http("d").url}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LeadingMirrors leads(c.leads, c.split);
        EXPECT_EQ(Urls(leads.Others()), c.others);
        std::vector<std::string> leaders{leads.Current().url};
        while (leads.Leave("Error 503 from server: Busy", TransferOutcome::ServerError)) {
            leaders.push_back(leads.Current().url);
        }
        EXPECT_EQ(leaders, c.leaders);
    }
}

TEST(LeadingMirrors, EveryLeaderRefusedFailsAsTheFailureAnotherTryMayGetPast)
{
    using O = TransferOutcome;
    const struct {
        const char* what;
        std::vector<Lead> leads;
        std::vector<std::pair<std::string, O>> refusals;
        std::string text;
        O outcome;
    } cases[] = {
        {"the task's URL alone keeps its own words",
         {Http("a")},
         {{"Error 404 from server", O::NotFound}},
         "Error 404 from server",
         O::NotFound},
        {"final failures all: the first one",
         {Http("a"), Http("b")},
         {{"Error 404 from server", O::NotFound}, {"Error 410 from server", O::Gone}},
         "Error 404 from server; none of the 2 mirrors gives the file",
         O::NotFound},
        {"a refused port may come back, a 404 of one mirror is no reason to stop",
         {Http("a"), Http("b"), Http("c")},
         {{"Error 404 from server", O::NotFound},
          {"Fail to connect to b:80", O::Failed},
          {"Error 503 from server", O::ServerError}},
         "Fail to connect to b:80; none of the 3 mirrors gives the file",
         O::Failed},
        {"an FTP server's 404 is tried again, an HTTP one's is not",
         {Http("a"), Ftp("b")},
         {{"Error 404 from server", O::NotFound}, {"Error - the server refused the file: 550", O::NotFound}},
         "Error - the server refused the file: 550; none of the 2 mirrors gives the file",
         O::NotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LeadingMirrors leads(c.leads);
        for (std::size_t i = 0; i < c.refusals.size(); ++i) {
            EXPECT_EQ(leads.Leave(c.refusals[i].first, c.refusals[i].second), i + 1 < c.refusals.size());
        }
        EXPECT_EQ(leads.FailureText(), c.text);
        EXPECT_EQ(leads.FailureOutcome(), c.outcome);
    }
}

}  // namespace
}  // namespace dromo
