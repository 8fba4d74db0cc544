#include "engine/page_source.h"

#include "engine/engine_state.h"
#include "engine/job_host.h"
#include "engine/notices.h"
#include "engine/page_browser.h"
#include "engine/page_load.h"
#include "net/url_fetcher.h"

#include <algorithm>

namespace {

constexpr uint32_t kPageTimeoutMs = 20000;

} // namespace

ST_PAGESOURCE ChosenPageSource(CEngineState &state, IJobHost *host)
{
    ST_PAGESOURCE source;
    const bool bChosen = state.ext.bJdBrowserPages || state.run.bBrowserPages;
    if (!bChosen && !state.bGatePassedInBrowser.load())
        return source;
    if (!state.pPageBrowser) {
        if (host && bChosen && !state.bNoBrowserSaid.exchange(true))
            host->ShowMessage(notice::NoPageBrowser());
        return source;
    }
    source.pBrowser = state.pPageBrowser;
    uint16_t seconds = 0;
    {
        std::lock_guard lock(state.mtxSettings);
        seconds = state.run.wTimeoutSec.value_or(state.settings.arrDownload[state.SiteEntry()].wTimeoutSec);
    }
    // Below ten seconds a page's scripts rarely finish: the settings dialog
    // refuses such a time-out, an old soft.dat may still hold one.
    source.dwBrowserTimeoutMs = uint32_t(std::max<uint16_t>(seconds, 10)) * 1000;
    return source;
}

bool LoadPageFrom(const ST_PAGESOURCE &source, const QString &url, const std::atomic<bool> *pAbort,
                  ST_LOADEDPAGE &page, QString *reason)
{
    if (source.pBrowser)
        return source.pBrowser->LoadPage(url, source.dwBrowserTimeoutMs, pAbort, page, reason);
    ST_URLREQUEST req;
    InitUrlRequest(req, url, QString(), kPageTimeoutMs);
    req.strHeaders = QStringLiteral("Accept-Encoding: gzip, deflate");
    req.pAbort = pAbort;
    return LoadProductPage(req, page, reason);
}
