// The profile's INI text. Read: whatever the file holds, a load and a save
// give a text that loads and saves as itself, so nothing drifts from one
// start to the next. Written: every text stored under any name reads back
// exactly as it was stored.
//
// The input is read both ways: as a file, and as the values to store.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/inidocument.h"
#include "platform/initext.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tests/fuzz/fuzzinput.h"

namespace dromo::fuzz {
namespace {

void CheckReading(std::string_view input)
{
    const std::string saved = IniDocument::Parse(input).Serialize();
    const std::string again = IniDocument::Parse(saved).Serialize();
    FUZZ_CHECK(again == saved, "the file " + Shown(input) + " was saved as " + Shown(saved) +
                                   ", which was saved again as " + Shown(again) + "; " + Difference(saved, again));
    // Every line's value and name as the codec reads them alone.
    std::size_t at = 0;
    while (at < input.size()) {
        const std::size_t end = std::min(input.find('\n', at), input.size());
        const std::string_view line = input.substr(at, end - at);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            static_cast<void>(IniText::UnescapeValue(line.substr(equals + 1)));
            const std::string name = IniText::UnescapeName(line.substr(0, equals));
            if (IsUtf8(name) && name.find('/') == std::string::npos) {
                FUZZ_CHECK(IniText::UnescapeName(IniText::EscapeName(name)) == name, Shown(line));
            }
        }
        at = end + 1;
    }
}

bool IsGeneral(std::string_view section)
{
    return section.size() == 7 && (section[0] | 0x20) == 'g' && (section[1] | 0x20) == 'e' &&
           (section[2] | 0x20) == 'n' && (section[3] | 0x20) == 'e' && (section[4] | 0x20) == 'r' &&
           (section[5] | 0x20) == 'a' && (section[6] | 0x20) == 'l';
}

// Names the program can store: UTF-8, without "/" (a group separator that
// reads back as "\"), and no other spelling of "General" (which the file
// format reads back as "General", as QSettings does).
bool Storable(const std::string& section, const std::string& name)
{
    return IsUtf8(section) && IsUtf8(name) && section.find('/') == std::string::npos &&
           name.find('/') == std::string::npos && (!IsGeneral(section) || section == "General");
}

void CheckWriting(FuzzInput in)
{
    IniDocument doc;
    std::map<std::pair<std::string, std::string>, std::string> stored;
    std::vector<std::string> sections;
    for (int n = 0; n < 64 && !in.Empty(); ++n) {
        std::string section = in.Text(12);
        std::string name = in.Text(16);
        std::string text = in.Text(255);
        if (!Storable(section, name)) {
            continue;
        }
        doc.Set(section, name, text);
        stored[{section, name}] = text;
        sections.push_back(section);
    }
    const std::string file = doc.Serialize();
    const IniDocument back = IniDocument::Parse(file);
    for (const auto& [key, text] : stored) {
        const auto value = back.Get(key.first, key.second);
        const auto shown = [&, &key = key, &text = text] {
            return "[" + Shown(key.first) + "] " + Shown(key.second) + " = " + Shown(text) + " stored as " +
                   Shown(file) + " reads back as " + (value ? Shown(value->text) : std::string("nothing"));
        };
        FUZZ_CHECK(value && value->text == text && value->plainText, shown());
    }
    for (const std::string& section : sections) {
        FUZZ_CHECK(back.Names(section) == doc.Names(section), "names of [" + Shown(section) + "] in " + Shown(file));
    }
}

}  // namespace
}  // namespace dromo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dromo::fuzz;
    CheckReading(std::string_view(reinterpret_cast<const char*>(data), size));
    CheckWriting(FuzzInput(data, size));
    return 0;
}
