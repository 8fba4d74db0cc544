#include "net/curl_handle.h"

#include <new>

void EnsureCurlGlobalInit()
{
    static const bool done = curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK;
    (void)done;
}

void AppendSlist(CurlSlistPtr &list, const char *line)
{
    curl_slist *grown = curl_slist_append(list.get(), line);
    if (!grown)
        throw std::bad_alloc();
    (void)list.release();
    list.reset(grown);
}
