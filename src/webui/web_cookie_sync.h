#pragma once

#include "net/cookie_bridge.h"

#include <QNetworkCookie>
#include <QObject>
#include <QUrl>

class QWebEngineCookieStore;

// A browser cookie as the fetcher's store keeps it, and back.  Chromium gives
// domain cookies a leading dot and host-only cookies none.
ST_COOKIE FromBrowserCookie(const QNetworkCookie &cookie);
// The cookie for QWebEngineCookieStore::setCookie and the origin to set it
// for: a host-only cookie carries no domain and takes its host from there.
QNetworkCookie ToBrowserCookie(const ST_COOKIE &cookie, QUrl *origin);

// Keeps the browser's cookie store and the fetcher's in step: every change the
// browser reports goes over the bridge at once; LoadIntoBrowser hands the
// fetcher's cookies to the browser.  Lives on the GUI thread with the store.
class CWebCookieSync : public QObject
{
    Q_OBJECT
public:
    CWebCookieSync(QWebEngineCookieStore *browserStore, ICookieBridge &bridge, QObject *parent = nullptr);

    void LoadIntoBrowser();

private:
    QWebEngineCookieStore *browserStore_;
    ICookieBridge &bridge_;
};
