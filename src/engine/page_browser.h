#pragma once

#include <QString>

#include <atomic>
#include <cstdint>

struct ST_LOADEDPAGE;

// Loads product pages in a browser: the page's own scripts run, so a check
// page that a script passes (it sets a cookie and reloads) shows the product,
// and the browser's log-in is the user's.  The front end that has a browser
// implements it; the jobs call it from their threads.
//
// LoadPage blocks until the page is read, fails, `timeoutMs` has passed or
// `*pAbort` is set (then it returns within about a tenth of a second).  On
// success `page` holds the page as the browser shows it, entities decoded in
// strText, and the product configuration the page built, for the same
// readers as a fetched page.  A page sent to the shop's log-in fails with
// page.bLoginGate set.  Any thread; one page at a time.
class IPageBrowser
{
public:
    virtual ~IPageBrowser() = default;
    virtual bool LoadPage(const QString &url, uint32_t timeoutMs, const std::atomic<bool> *pAbort,
                          ST_LOADEDPAGE &page, QString *reason) = 0;
};
