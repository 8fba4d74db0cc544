#pragma once

// Where a job reads product pages: with the fetcher, or in the front end's
// browser when the user chose it (or passed the shop's gate there).

#include <QString>

#include <atomic>
#include <cstdint>

class CEngineState;
class IJobHost;
class IPageBrowser;
struct ST_LOADEDPAGE;

struct ST_PAGESOURCE
{
    IPageBrowser *pBrowser = nullptr; // null: the fetcher
    uint32_t dwBrowserTimeoutMs = 30000; // the user's time-out, per page in the browser
};

// The source for the pages of the current job.  When the user chose the
// browser and the front end has none, says so once (through `host`) and
// returns the fetcher.
ST_PAGESOURCE ChosenPageSource(CEngineState &state, IJobHost *host = nullptr);

// Loads product page `url` from `source`; see LoadProductPage.
bool LoadPageFrom(const ST_PAGESOURCE &source, const QString &url, const std::atomic<bool> *pAbort,
                  ST_LOADEDPAGE &page, QString *reason = nullptr);
