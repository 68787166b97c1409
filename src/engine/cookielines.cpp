#include "engine/cookielines.h"

namespace dromo {

std::vector<std::string> CookieLines(const std::string& header, const std::string& host, bool secure)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find(';', start);
        if (end == std::string::npos) {
            end = header.size();
        }
        std::string pair = header.substr(start, end - start);
        start = end + 1;
        const std::size_t first = pair.find_first_not_of(' ');
        if (first == std::string::npos) {
            continue;
        }
        pair = pair.substr(first, pair.find_last_not_of(' ') - first + 1);
        const std::size_t equals = pair.find('=');
        if (equals == std::string::npos || equals == 0 || pair.find_first_of("\t\r\n") != std::string::npos) {
            continue;  // not a cookie, or one that would break the line
        }
        lines.push_back(host + "\tFALSE\t/\t" + (secure ? "TRUE" : "FALSE") + "\t0\t" + pair.substr(0, equals) + "\t" +
                        pair.substr(equals + 1));
    }
    return lines;
}

void CopyCookies(CURL* from, CURL* to)
{
    curl_slist* cookies = nullptr;
    if (curl_easy_getinfo(from, CURLINFO_COOKIELIST, &cookies) != CURLE_OK || cookies == nullptr) {
        return;
    }
    curl_easy_setopt(to, CURLOPT_COOKIEFILE, "");
    for (const curl_slist* c = cookies; c != nullptr; c = c->next) {
        curl_easy_setopt(to, CURLOPT_COOKIELIST, c->data);
    }
    curl_slist_free_all(cookies);
}

}  // namespace dromo
