#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/commands/taskadder.h"

namespace dromo {

// One link a browser offered from a page ("Download all links with
// Dromo..."), with what the browser knew of it.
struct OfferedLink {
    std::string url;
    DownloadDetails details;
};

// The links of a page as the user picks from them: which can become tasks,
// under which names, which are chosen, and the chosen ones added at once.
class LinkChoice {
public:
    struct Row {
        std::string url;       // without its fragment
        std::string fileName;  // the page's name for the file, else the URL's
        DownloadDetails details;
        bool chosen = false;
    };

    // A page offers at most this many links at once; more are refused whole.
    static constexpr std::size_t kMostLinks = 10000;

    // The rows keep the page's order and hold each URL once (its first
    // offer, fragment aside). Left out: what is no http, https or ftp URL a
    // task can be made of, and a folder ("/" at the end) the page gave no
    // file name. Chosen at first: a file whose extension is one of the
    // capture file types (`fileTypes`, "Capture File Types", in any letter
    // case), and with `allFtp` every FTP file.
    LinkChoice(const std::vector<OfferedLink>& offered, const std::string& fileTypes, bool allFtp);

    const std::vector<Row>& Rows() const { return m_rows; }
    // Why the user cannot be offered these links ("" when he can).
    std::string Refusal() const;
    std::size_t ChosenCount() const;
    void Choose(std::size_t row, bool chosen);
    void ChooseAll(bool chosen);

    // Adds every chosen link as a browser's download, in the rows' order;
    // how many became tasks. Saving them is the caller's, once for all.
    int AddChosen(TaskAdder& adder) const;

private:
    std::vector<Row> m_rows;
    std::size_t m_tooMany = 0;  // the count offered, when over the bound
};

inline constexpr const char* kNoLinksToOffer = "None of the page's links can be downloaded.";

}  // namespace dromo
