#pragma once

#include <memory>
#include <string>

#include <curl/curl.h>

namespace dromo {

// Owners of libcurl's handles, so every path out of a transfer frees them.
// An easy handle must leave its multi handle before it is freed; the
// owners of both free in the order their holders declare them (easy
// handles after, so before, the multi handle).
struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct HeaderListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;
using MultiHandle = std::unique_ptr<CURLM, MultiCleanup>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListFree>;

// Adds a header line to a list; an allocation failure keeps the list as it was.
inline void AppendHeader(HeaderList& list, const std::string& line)
{
    if (curl_slist* grown = curl_slist_append(list.get(), line.c_str())) {
        static_cast<void>(list.release());
        list.reset(grown);
    }
}

}  // namespace dromo
