#pragma once

#include "net/cookie_record.h"

#include <vector>

// What the log-in browser and the fetcher's cookie store tell each other, so
// a log-in made in the browser carries over to every download, and the
// browser sees the session the fetcher already has.  The cookie store
// implements it; tests give their own to watch the browser side.
//
// Calls come from the GUI thread, from the browser's cookie store signals and
// from the log-in dialog opening and closing; the fetcher's worker threads may
// be fetching at the same time.  Cookie values pass through here and are
// never logged.
class ICookieBridge
{
public:
    virtual ~ICookieBridge() = default;

    // The browser holds a new or changed cookie (HttpOnly and session cookies
    // too).  Every FetchUrl started after the call returns sends it where the
    // cookie's own domain, scope, path and Secure flag allow.
    virtual void BrowserCookieAdded(const ST_COOKIE &cookie) = 0;
    // The browser dropped a cookie (deleted by the page, expired, replaced).
    // Every FetchUrl started after the call returns no longer sends it.
    virtual void BrowserCookieRemoved(const ST_COOKIE &cookie) = 0;
    // Every cookie the fetcher holds now, for the browser's store when a
    // log-in dialog opens.
    virtual std::vector<ST_COOKIE> CookiesForBrowser() = 0;
    // A log-in dialog closed: the persistent cookies it gave are written to
    // the cookie file before the call returns.
    virtual void BrowserClosed() = 0;
};
