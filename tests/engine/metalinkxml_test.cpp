// Metalink files as publishers write them (versions 4 and 3) and as an
// attacker would: entities, external DTDs, huge counts, path tricks.

#include "engine/metalinkxml.h"

#include <gtest/gtest.h>

#include <string>

namespace dromo {
namespace {

constexpr const char* kSha256 = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
constexpr const char* kSha1 = "da39a3ee5e6b4b0d3255bfef95601890afd80709";
constexpr const char* kMd5 = "d41d8cd98f00b204e9800998ecf8427e";

const std::string kRoot4 = "<metalink xmlns=\"urn:ietf:params:xml:ns:metalink\">\n";

std::string Meta4(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + kRoot4 + body + "</metalink>\n";
}

std::string Meta3(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<metalink version=\"3.0\" "
           "xmlns=\"http://www.metalinker.org/\">\n<files>\n" +
           body + "</files>\n</metalink>\n";
}

// A file of version 4 with one URL and whatever else is given.
std::string File4(const std::string& name, const std::string& inside = "")
{
    return "<file name=\"" + name + "\">\n<url>http://a.example/" + "f</url>\n" + inside + "</file>\n";
}

// What the reader made of the files, one line each:
// "NAME SIZE | MIRRORS | DIGESTS | PIECES-ALGORITHM LENGTH COUNT".
std::string Summary(const MetalinkReading& reading)
{
    if (!reading.Ok()) {
        return "error: " + reading.error;
    }
    std::string out;
    for (const MetalinkFile& f : reading.files) {
        out += f.name + " " + std::to_string(f.size) + " | " + f.mirrors.Stored() + " | " + f.digests.Stored();
        if (!f.pieces.Empty()) {
            out += std::string(" | ") + DigestAlgorithmKey(f.pieces.Algorithm()) + " " +
                   std::to_string(f.pieces.Length()) + " " + std::to_string(f.pieces.Hashes().size());
        }
        out += "\n";
    }
    return out;
}

std::string Repeat(const std::string& part, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i) {
        out += part;
    }
    return out;
}

TEST(MetalinkXml, PublishersFilesOfBothVersions)
{
    const std::string sha256 = kSha256;
    const std::string sha1 = kSha1;
    const std::string md5 = kMd5;
    const struct {
        const char* what;
        std::string document;
        std::string summary;
    } cases[] = {
        {"version 4: two files, mirrors by priority, a torrent left out, the strongest pieces",
         Meta4("<file name=\"a.iso\">\n<size>2000</size>\n"
               "<url priority=\"2\" location=\"DE\">https://two.example/a.iso</url>\n"
               "<url>ftp://none.example/a.iso</url>\n"
               "<url priority=\"1\" location=\"fr\">http://one.example/a%20b.iso</url>\n"
               "<metaurl mediatype=\"torrent\" priority=\"1\">http://t.example/a.torrent</metaurl>\n"
               "<hash type=\"md5\">" +
               md5 + "</hash>\n<hash type=\"sha-256\">" + sha256 +
               "</hash>\n<hash type=\"sha-384\">00</hash>\n"
               "<pieces length=\"1024\" type=\"md5\"><hash>" +
               md5 + "</hash><hash>" + md5 +
               "</hash></pieces>\n"
               "<pieces length=\"1024\" type=\"sha-1\"><hash>" +
               sha1 + "</hash>\n<hash> " + sha1 + " </hash></pieces>\n</file>\n" +
               "<file name=\"b.txt\"><url priority=\"7\">http://one.example/b.txt</url></file>\n"),
         "a.iso 2000 | 1:fr:http://one.example/a%20b.iso 2:de:https://two.example/a.iso "
         "999999::ftp://none.example/a.iso | sha-256=" +
             sha256 + ", md5=" + md5 + " | sha-1 1024 2\nb.txt -1 | 7::http://one.example/b.txt | \n"},
        {"version 3: preference turned into priority, a bittorrent URL left out",
         Meta3("<file name=\"c.tar.gz\"><size>10</size>\n<verification><hash type=\"sha1\">" + sha1 +
               "</hash>\n<pieces type=\"sha1\" length=\"8\"><hash piece=\"0\">" + sha1 + "</hash><hash piece=\"1\">" +
               sha1 +
               "</hash></pieces></verification>\n"
               "<resources><url type=\"http\" location=\"us\" preference=\"90\">http://low.example/c.tar.gz</url>\n"
               "<url type=\"bittorrent\" preference=\"100\">http://t.example/c.torrent</url>\n"
               "<url type=\"ftp\" preference=\"100\">ftp://high.example/c.tar.gz</url></resources></file>\n"),
         "c.tar.gz 10 | 1::ftp://high.example/c.tar.gz 11:us:http://low.example/c.tar.gz | sha-1=" + sha1 +
             " | sha-1 8 2\n"},
        {"no size: the pieces are not counted against one",
         Meta4(File4("d.bin", "<pieces length=\"4\" type=\"sha-1\"><hash>" + sha1 + "</hash></pieces>\n")),
         "d.bin -1 | 999999::http://a.example/f |  | sha-1 4 1\n"},
        {"elements of other namespaces and unknown ones are passed over",
         Meta4("<generator>x</generator><x:file xmlns:x=\"urn:other\" name=\"evil\"/>" + File4("e.bin") +
               "<publisher><name>P</name></publisher>"),
         "e.bin -1 | 999999::http://a.example/f | \n"},
        {"a name in UTF-8 and an escaped ampersand", Meta4(File4("Ünïcode &amp; more.txt")),
         "Ünïcode & more.txt -1 | 999999::http://a.example/f | \n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Summary(MetalinkXml().Read(c.document)), c.summary) << c.what;
    }
}

TEST(MetalinkXml, HostileAndBrokenDocumentsAreRefusedWithTheirReason)
{
    const std::string bigPieces = Repeat("<hash>" + std::string(kSha1) + "</hash>", kMetalinkMaxPieces + 1);
    const struct {
        const char* what;
        std::string document;
        std::string error;  // what the error says
    } cases[] = {
        {"an internal entity",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE metalink [<!ENTITY n \"x.iso\">]>\n"
         "<metalink xmlns=\"urn:ietf:params:xml:ns:metalink\"><file name=\"&n;\"><url>http://a/f</url></file>"
         "</metalink>",
         "Line 2: a Metalink file may not declare a document type or entities."},
        {"an external DTD",
         "<?xml version=\"1.0\"?>\n\n<!DOCTYPE metalink SYSTEM \"http://127.0.0.1:1/evil.dtd\">\n" + kRoot4 +
             File4("a") + "</metalink>",
         "Line 3: a Metalink file may not declare a document type or entities."},
        {"an external entity (XXE)",
         "<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + kRoot4 + File4("&x;") +
             "</metalink>",
         "a Metalink file may not declare a document type or entities."},
        {"billion laughs",
         "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 "
         "\"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\"><!ENTITY lol3 "
         "\"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">]><lolz>&lol3;</lolz>",
         "a Metalink file may not declare a document type or entities."},
        {"an undeclared entity", Meta4(File4("&undeclared;")), "This is not a Metalink file: Entity 'undeclared'"},
        {"not XML", "GET / HTTP/1.1\r\n", "Line 1: This is not a Metalink file: "},
        {"empty", "", "This is not a Metalink file: it is empty."},
        {"another root", "<?xml version=\"1.0\"?><html><body/></html>", "its root element is not <metalink>"},
        {"metalink without its namespace", "<metalink><file name=\"a\"><url>http://a/f</url></file></metalink>",
         "its root element is not <metalink>"},
        {"no file", Meta4(""), "The Metalink file lists no file."},
        {"a name with a folder", Meta4(File4("a/b.iso")), "Line 3: \"a/b.iso\" is not a plain file name"},
        {"a name that climbs", Meta4(File4("../../.bashrc")), "\"../../.bashrc\" is not a plain file name"},
        {"a name that is \"..\"", Meta4(File4("..")), "\"..\" is not a plain file name"},
        {"an absolute name", Meta4(File4("/etc/passwd")), "\"/etc/passwd\" is not a plain file name"},
        {"a backslash", Meta4(File4("a\\b")), "\"a\\b\" is not a plain file name"},
        {"a hidden name", Meta4(File4(".profile")), "\".profile\" is not a plain file name"},
        {"a control character", Meta4(File4("a&#x7f;b")), "is not a plain file name"},
        {"a line break", Meta4(File4("a&#10;b")), "is not a plain file name"},
        {"no name", Meta4("<file><url>http://a/f</url></file>"), "Line 3: a file has no name."},
        {"a size that is no number", Meta4(File4("a", "<size>12abc</size>")), "the size \"12abc\" is not a number"},
        {"a negative size", Meta4(File4("a", "<size>-5</size>")), "the size \"-5\" is not a number of bytes."},
        {"a short SHA-256", Meta4(File4("a", "<hash type=\"sha-256\">" + std::string(kSha256).substr(1) + "</hash>")),
         "Line 5: the SHA-256 hash of \"a\" is not 64 hexadecimal digits."},
        {"a hash that is not hexadecimal",
         Meta4(File4("a", "<hash type=\"md5\">zz" + std::string(kMd5).substr(2) + "</hash>")),
         "the MD5 hash of \"a\" is not 32 hexadecimal digits."},
        {"a bad piece hash",
         Meta4(File4("a", "<pieces type=\"sha-1\" length=\"4\"><hash>" + std::string(kMd5) + "</hash></pieces>")),
         "the SHA-1 hash of \"a\" is not 40 hexadecimal digits."},
        {"a piece length that is no number", Meta4(File4("a", "<pieces type=\"sha-1\" length=\"0\"></pieces>")),
         "the piece length \"0\" is not a number of bytes."},
        {"pieces that do not fit the size",
         Meta4(File4("a", "<size>9</size><pieces type=\"sha-1\" length=\"4\"><hash>" + std::string(kSha1) +
                              "</hash></pieces>")),
         "the file \"a\" has 1 piece hashes where its size needs 3."},
        {"only a torrent",
         Meta4("<file name=\"a\"><metaurl mediatype=\"torrent\">http://t/a.torrent</metaurl>"
               "<url>magnet:?xt=urn:btih:00</url><url>file:///etc/passwd</url></file>"),
         "Line 3: the file \"a\" has no http, https or ftp URL."},
        {"too many files", Meta4(Repeat(File4("a"), kMetalinkMaxFiles + 1)),
         "The Metalink file lists more than 1000 files."},
        {"too many URLs",
         Meta4("<file name=\"a\">" + Repeat("<url>http://a/f</url>", kMetalinkMaxUrls + 1) + "</file>"),
         "Line 3: the file \"a\" lists more than 500 URLs."},
        {"too many pieces", Meta4(File4("a", "<pieces type=\"sha-1\" length=\"4\">" + bigPieces + "</pieces>")),
         "the file \"a\" lists more than 100000 pieces."},
        {"larger than a Metalink file may be", std::string(kMetalinkMaxBytes + 1, ' '),
         "The Metalink file is larger than 8 MB."},
    };
    for (const auto& c : cases) {
        const MetalinkReading reading = MetalinkXml().Read(c.document);
        EXPECT_FALSE(reading.Ok()) << c.what;
        EXPECT_TRUE(reading.files.empty()) << c.what;
        EXPECT_NE(reading.error.find(c.error), std::string::npos) << c.what << ": " << reading.error;
    }
}

}  // namespace
}  // namespace dromo
