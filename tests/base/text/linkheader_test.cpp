// Link fields as servers send them, and the mirrors they announce.

#include "base/text/linkheader.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

// The mirrors in MirrorList's stored form, in the order given.
std::string Shown(const std::vector<Mirror>& mirrors)
{
    std::string out;
    for (const Mirror& m : mirrors) {
        out += (out.empty() ? "" : " ") + std::to_string(m.priority) + ":" + m.location + ":" + m.url;
    }
    return out;
}

std::string Shown(const LinkHeader& header)
{
    std::string out;
    for (const LinkHeader::Link& link : header.Links()) {
        out += (out.empty() ? "" : " | ") + link.target;
        for (const LinkHeader::Param& p : link.params) {
            out += " " + p.name + "=[" + p.value + "]";
        }
    }
    return out;
}

TEST(LinkHeader, ReadsEveryLinkThatIsSoundAndLeavesOutTheRest)
{
    const struct {
        const char* value;
        const char* links;
    } cases[] = {
        {"<http://a/f>; rel=duplicate", "http://a/f rel=[duplicate]"},
        {"<http://a/f> ; REL = \"duplicate\" ;pri=2;geo=de; pref",
         "http://a/f rel=[duplicate] pri=[2] geo=[de] pref=[]"},
        {"<http://a/f>;rel=duplicate,<ftp://b/f>;rel=duplicate",
         "http://a/f rel=[duplicate] | ftp://b/f rel=[duplicate]"},
        // commas and semicolons inside quotes and brackets are the value's
        {"<http://a/f,g;h>; title=\"x, <http://evil/>; rel=duplicate\"",
         "http://a/f,g;h title=[x, <http://evil/>; rel=duplicate]"},
        {"<http://a/f>; title=\"say \\\"hi\\\"\\\\\"", "http://a/f title=[say \"hi\"\\]"},
        {"<http://a/f>; type=application/metalink4+xml", "http://a/f type=[application/metalink4+xml]"},
        {"<http://a/f>;; rel=x;", "http://a/f rel=[x]"},
        {"  , ,<http://a/f>,, ", "http://a/f"},
        // what cannot be read is left out, the next link after its comma stays
        {"http://a/f; rel=duplicate, <http://b/f>", "http://b/f"},
        {"<http://a/f> junk; rel=duplicate, <http://b/f>", "http://b/f"},
        {"<http://a/f>; =x, <http://b/f>", "http://b/f"},
        {"<http://a/f>; rel=\"dup, <http://b/f>", ""},
        {"<http://a/f>; rel=duplicate, <http://b/f", "http://a/f rel=[duplicate]"},
        {"<http://a/f>; rel=duplicate, junk \"a,b\" <http://c/>, <http://b/f>",
         "http://a/f rel=[duplicate] | http://b/f"},
        {"", ""},
        {"<", ""},
        {"<>", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(LinkHeader(c.value)), c.links) << c.value;
    }
}

TEST(LinkHeader, ResolvesReferencesAsBrowsersDo)
{
    // The examples every URL resolver is held to, fragments dropped.
    const char* base = "http://a/b/c/d;p?q";
    const struct {
        const char* reference;
        const char* url;
    } cases[] = {
        {"g:h", "g:h"},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q"},
        {"g#s", "http://a/b/c/g"},
        {";x", "http://a/b/c/;x"},
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"g?y/../x", "http://a/b/c/g?y/../x"},
        {"HTTPS://B/x/../f", "https://B/f"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinkHeader::Resolve(c.reference, base).value_or("(none)"), c.url) << c.reference;
    }
    EXPECT_EQ(LinkHeader::Resolve("f", "http://a").value_or("(none)"), "http://a/f");
    for (const char* bad : {"http://a/b c", "http://a/\x01", "g\t", "http://a/\x7F"}) {
        EXPECT_FALSE(LinkHeader::Resolve(bad, base)) << bad;
    }
    EXPECT_FALSE(LinkHeader::Resolve("g", "/b/c"));
    EXPECT_FALSE(LinkHeader::Resolve("g", "a b://x/"));
    EXPECT_EQ(LinkHeader::Resolve("http://x/g", "/b/c").value_or("(none)"), "http://x/g");
}

TEST(LinkHeader, DuplicatesBecomeMirrorsMostWantedFirst)
{
    const char* http = "http://origin.example/pub/f.iso";
    const char* https = "https://origin.example/pub/f.iso";
    const struct {
        const char* value;
        const char* base;
        const char* mirrors;
    } cases[] = {
        {"<http://b/f.iso>; rel=duplicate; pri=1", http, "1::http://b/f.iso"},
        {"<http://b/f>; rel=duplicate; pri=2; geo=DE, <ftp://c/f>; rel=\"duplicate\"; pri=1, "
         "<https://d/f>; rel=duplicate",
         http, "1::ftp://c/f 2:de:http://b/f 999999::https://d/f"},
        // pref goes first among equals; the order of the field among the rest
        {"<http://b/f>; rel=duplicate; pri=3, <http://c/f>; rel=duplicate; pri=3; pref, <http://d/f>; rel=duplicate; "
         "pri=3",
         http, "3::http://c/f 3::http://b/f 3::http://d/f"},
        // rel is one of several, in any case; only the first rel counts
        {"<http://b/f>; rel=\"alternate DUPLICATE\"", http, "999999::http://b/f"},
        {"<http://b/f>; rel=describedby; rel=duplicate", http, ""},
        {"<http://b/f>; rel=duplicates, <http://c/f>; rel=\"duplicate-ish\", <http://d/f>", http, ""},
        // relative targets are read against the response's URL
        {"</mirror/f.iso>; rel=duplicate, <../g.iso>; rel=duplicate, <//cdn.example/f>; rel=duplicate", https,
         "999999::https://origin.example/mirror/f.iso 999999::https://origin.example/g.iso "
         "999999::https://cdn.example/f"},
        {"<http://b>; rel=duplicate", http, "999999::http://b/"},
        // unreadable pri and geo leave the mirror without them
        {"<http://b/f>; rel=duplicate; pri=0; geo=deu, <http://c/f>; rel=duplicate; pri=1000000; geo=1x, "
         "<http://d/f>; rel=duplicate; pri=2x, <http://e/f>; rel=duplicate; pri=-1; geo=\"fr\"",
         http, "999999::http://b/f 999999::http://c/f 999999::http://d/f 999999:fr:http://e/f"},
        // what is no mirror of this file
        {"<mailto:a@b>; rel=duplicate, <file:///etc/passwd>; rel=duplicate, <data:,x>; rel=duplicate, "
         "<gopher://g/f>; rel=duplicate, <http:///f>; rel=duplicate, <http://b:0/f>; rel=duplicate, "
         "<http://b/f g>; rel=duplicate",
         http, ""},
        {"<http://origin.example/pub/f.iso>; rel=duplicate, <f.iso>; rel=duplicate, <http://b/f>; rel=duplicate, "
         "<http://b/f#x>; rel=duplicate",
         http, "999999::http://b/f"},
        {"<http://b/f>; rel=duplicate; anchor=\"http://other/\", <http://c/f>; rel=duplicate; anchor=\"\", "
         "<http://d/f>; rel=duplicate; anchor=\"f.iso\"",
         http, "999999::http://c/f 999999::http://d/f"},
        // a file offered over TLS is never taken over a plain connection
        {"<http://b/f>; rel=duplicate, <ftp://c/f>; rel=duplicate, <ftps://d/f>; rel=duplicate, "
         "<https://e/f>; rel=duplicate",
         https, "999999::ftps://d/f 999999::https://e/f"},
        // without a usable response URL only absolute targets over TLS are
        // kept: the file may have come over TLS
        {"<http://b/f>; rel=duplicate, <ftp://c/f>; rel=duplicate, </c/f>; rel=duplicate, <https://d/f>; "
         "rel=duplicate",
         "", "999999::https://d/f"},
        {"<ftp://c/f>; rel=duplicate, <ftps://e/f>; rel=duplicate", "https://[::1/f", "999999::ftps://e/f"},
        {"<ftp://c/f>; rel=duplicate", "HTTPS://origin.example/f", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(LinkHeader(c.value).Duplicates(c.base)), c.mirrors) << c.value;
    }
}

TEST(LinkHeader, ManyDuplicatesAreCutAndStoreReadsBack)
{
    std::string value;
    for (int i = 0; i < 300; ++i) {
        value += "<http://m" + std::to_string(i) + ".example/f>; rel=duplicate; pri=" + std::to_string(300 - i) + ", ";
    }
    const std::vector<Mirror> mirrors = LinkHeader(value).Duplicates("http://origin/f");
    ASSERT_EQ(mirrors.size(), kLinkMaxMirrors);
    EXPECT_EQ(mirrors.front().url, "http://m99.example/f");  // the first hundred, most wanted first
    MirrorList list;
    for (const Mirror& m : mirrors) {
        list.Add(m);
    }
    const std::optional<MirrorList> again = MirrorList::Parse(list.Stored());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Mirrors(), mirrors);
}

}  // namespace
}  // namespace dromo
