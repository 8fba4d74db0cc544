#pragma once

// Small RAII wrappers around libcurl handles, for this library only.

#include <curl/curl.h>

#include <memory>

struct CurlEasyDeleter
{
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};
struct CurlSlistDeleter
{
    void operator()(curl_slist *l) const { curl_slist_free_all(l); }
};
struct CurlShareDeleter
{
    void operator()(CURLSH *h) const { curl_share_cleanup(h); }
};

struct CurlMultiDeleter
{
    void operator()(CURLM *m) const { curl_multi_cleanup(m); }
};

using CurlMultiPtr = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlEasyPtr = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlSlistPtr = std::unique_ptr<curl_slist, CurlSlistDeleter>;
using CurlSharePtr = std::unique_ptr<CURLSH, CurlShareDeleter>;

// curl_global_init, once per process, before the first handle.
void EnsureCurlGlobalInit();

// Appends one line to a header list; the list stays valid on failure.
void AppendSlist(CurlSlistPtr &list, const char *line);
