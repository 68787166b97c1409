#include "engine/taskcookies.h"

namespace dromo {

void TaskCookies::Begin(const CookieJar& given)
{
    if (m_fresh) {
        m_jar = given;
        m_loaded.clear();
        m_fresh = false;
    }
}

void TaskCookies::LoadInto(CURL* easy)
{
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");  // the cookie engine, with no file
    for (const std::string& line : m_jar.Lines()) {
        curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
    }
    // As libcurl lists them, so only what a server changes differs later.
    m_loaded[easy] = Listed(easy);
}

bool TaskCookies::TakeFrom(CURL* easy)
{
    const auto loaded = m_loaded.find(easy);
    if (easy == nullptr || loaded == m_loaded.end()) {
        return false;
    }
    CookieJar now = Listed(easy);
    m_jar.TakeChanges(loaded->second, now);
    loaded->second = std::move(now);
    return true;
}

CookieJar TaskCookies::Listed(CURL* easy)
{
    curl_slist* list = nullptr;
    std::vector<std::string> lines;
    if (curl_easy_getinfo(easy, CURLINFO_COOKIELIST, &list) == CURLE_OK) {
        for (const curl_slist* item = list; item != nullptr; item = item->next) {
            lines.emplace_back(item->data);
        }
    }
    curl_slist_free_all(list);
    return CookieJar::FromLines(lines);
}

}  // namespace dromo
