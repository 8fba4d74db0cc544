#include "webui/web_cookie_sync.h"

#include <QDateTime>
#include <QWebEngineCookieStore>

ST_COOKIE FromBrowserCookie(const QNetworkCookie &c)
{
    ST_COOKIE r;
    r.name = c.name();
    r.value = c.value();
    QString domain = c.domain();
    r.hostOnly = !domain.startsWith(u'.');
    if (!r.hostOnly)
        domain.remove(0, 1);
    r.domain = domain;
    r.path = c.path().isEmpty() ? QStringLiteral("/") : c.path();
    r.secure = c.isSecure();
    r.httpOnly = c.isHttpOnly();
    // A persistent cookie at second 0 would read as a session cookie.
    r.expires = c.isSessionCookie() ? 0 : std::max<int64_t>(1, c.expirationDate().toSecsSinceEpoch());
    return r;
}

QNetworkCookie ToBrowserCookie(const ST_COOKIE &c, QUrl *origin)
{
    QNetworkCookie cookie(c.name, c.value);
    cookie.setPath(c.path);
    cookie.setSecure(c.secure);
    cookie.setHttpOnly(c.httpOnly);
    if (!c.IsSession())
        cookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(c.expires, Qt::UTC));
    if (!c.hostOnly)
        cookie.setDomain(QLatin1Char('.') + c.domain);
    // Chromium takes a Secure cookie only from a secure origin.
    *origin = QUrl(QStringLiteral("%1://%2/").arg(c.secure ? QStringLiteral("https") : QStringLiteral("http"),
                                                   c.domain));
    return cookie;
}

CWebCookieSync::CWebCookieSync(QWebEngineCookieStore *browserStore, ICookieBridge &bridge, QObject *parent)
    : QObject(parent), browserStore_(browserStore), bridge_(bridge)
{
    connect(browserStore_, &QWebEngineCookieStore::cookieAdded, this,
            [this](const QNetworkCookie &c) { bridge_.BrowserCookieAdded(FromBrowserCookie(c)); });
    connect(browserStore_, &QWebEngineCookieStore::cookieRemoved, this,
            [this](const QNetworkCookie &c) { bridge_.BrowserCookieRemoved(FromBrowserCookie(c)); });
    // What the browser kept from earlier runs reaches the fetcher too.
    browserStore_->loadAllCookies();
}

void CWebCookieSync::LoadIntoBrowser()
{
    for (const ST_COOKIE &c : bridge_.CookiesForBrowser()) {
        QUrl origin;
        const QNetworkCookie cookie = ToBrowserCookie(c, &origin);
        browserStore_->setCookie(cookie, origin);
    }
}
