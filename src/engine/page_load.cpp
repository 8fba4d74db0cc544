#include "engine/page_load.h"

#include "net/response_text.h"
#include "net/url_fetcher.h"
#include "util/text_utils.h"

bool LoadProductPage(const ST_URLREQUEST &req, ST_LOADEDPAGE &page, QString *reason)
{
    ST_URLREQUEST gated = req;
    gated.arrLoginHosts.append(QString::fromUtf16(kLoginHost));
    ST_URLRESPONSE resp;
    InitUrlResponse(resp);
    page.bLoginGate = false;
    if (!FetchUrl(gated, resp, 0)) {
        page.bLoginGate = resp.failure == FetchFailure::LoginRequired;
        if (reason)
            *reason = resp.strFailReason;
        return false;
    }
    // Newer pages are UTF-8 and say so; the others are GBK, as before.
    GetResponseText(resp, page.strHtml, TXTF_GUNZIP | TXTF_CHARSET | TXTF_KEEP_ENTITIES);
    page.strText = page.strHtml;
    DecodeHtmlEntities(page.strText);
    return true;
}
