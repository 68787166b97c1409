#include "base/capture/linkchoice.h"

#include <algorithm>
#include <set>

#include "base/text/filenames.h"
#include "base/text/parseurl.h"
#include "base/values/globaloptions.h"

namespace dromo {
namespace {

std::vector<std::string> TypesOf(const std::string& fileTypes)
{
    std::vector<std::string> types;
    std::size_t start = 0;
    while (start <= fileTypes.size()) {
        const std::size_t blank = std::min(fileTypes.find(' ', start), fileTypes.size());
        if (blank > start) {
            types.push_back(fileTypes.substr(start, blank - start));
        }
        start = blank + 1;
    }
    return types;
}

bool IsFtp(const std::string& url)
{
    return (url.size() > 6 && EqualsIgnoreCase(url.substr(0, 6), "ftp://")) ||
           (url.size() > 7 && EqualsIgnoreCase(url.substr(0, 7), "ftps://"));
}

}  // namespace

LinkChoice::LinkChoice(const std::vector<OfferedLink>& offered, const std::string& fileTypes, bool allFtp)
{
    if (offered.size() > kMostLinks) {
        m_tooMany = offered.size();
        return;
    }
    const std::vector<std::string> types = TypesOf(fileTypes);
    std::set<std::string> seen;
    for (const OfferedLink& link : offered) {
        Row row{link.url.substr(0, link.url.find('#')), SafeFileName(link.details.fileName), link.details, false};
        const bool folder = !row.url.empty() && row.url.back() == '/';
        if (!ParseUrl(row.url) || (folder && row.fileName.empty()) || !seen.insert(row.url).second) {
            continue;
        }
        if (row.fileName.empty()) {
            row.fileName = FileNameFromUrl(row.url);
        }
        const std::string extension = FileExtension(row.fileName);
        const bool listed = !extension.empty() && std::any_of(types.begin(), types.end(), [&](const std::string& t) {
            return EqualsIgnoreCase(t, extension);
        });
        row.chosen = listed || (allFtp && IsFtp(row.url) && !folder);
        m_rows.push_back(std::move(row));
    }
}

std::size_t LinkChoice::ChosenCount() const
{
    return static_cast<std::size_t>(std::count_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.chosen; }));
}

void LinkChoice::Choose(std::size_t row, bool chosen)
{
    if (row < m_rows.size()) {
        m_rows[row].chosen = chosen;
    }
}

void LinkChoice::ChooseAll(bool chosen)
{
    for (Row& row : m_rows) {
        row.chosen = chosen;
    }
}

int LinkChoice::AddChosen(TaskAdder& adder) const
{
    int added = 0;
    for (const Row& row : m_rows) {
        if (row.chosen && adder.AddDownload(row.url, row.details) == AddResult::Added) {
            ++added;
        }
    }
    return added;
}

std::string LinkChoice::Refusal() const
{
    if (m_tooMany > 0) {
        return "The page offers " + std::to_string(m_tooMany) + " links; Dromo takes at most " +
               std::to_string(kMostLinks) + " at once.";
    }
    return m_rows.empty() ? kNoLinksToOffer : "";
}

}  // namespace dromo
