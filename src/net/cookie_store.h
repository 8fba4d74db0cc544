#pragma once

#include "net/cookie_bridge.h"
#include "net/cookie_record.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

// The one process-wide cookie store.  Every request on every thread sends and
// stores its cookies here, and the log-in browser feeds it, so a log-in made
// in the browser carries over to the downloads.  Persistent cookies are kept
// in a cookie file in the user's application data folder, so a log-in lasts
// across runs; session cookies live in memory only and end with the process.
class CCookieStore : public ICookieBridge
{
public:
    static CCookieStore &Instance();

    CCookieStore(const CCookieStore &) = delete;
    CCookieStore &operator=(const CCookieStore &) = delete;
    ~CCookieStore() override;

    // The cookie file; by default "Lumbrack/Ostrel/cookies.txt" in the user's
    // data folder (~/.local/share).
    QString CookieFile() const;
    // Switches to another cookie file: the cookies in memory are dropped and
    // the new file is read (a missing file means no cookies).
    void SetCookieFile(const QString &path);
    // Drops the cookies in memory and reads the cookie file again.
    void Reload();

    // Adds one cookie, given as a "Set-Cookie:" header line (with or without
    // that prefix) valid for the given host, or as a Netscape cookie-file
    // line.  A header line without a Domain attribute gives a cookie of that
    // host alone.  False when the line is not a cookie.
    bool AddCookie(const QByteArray &setCookieLine, const QString &host = QString());
    // Adds or replaces the cookie of the same name, domain, scope and path.
    void PutCookie(const ST_COOKIE &cookie);
    // Removes the cookie of that name, domain, scope and path.
    void RemoveCookie(const ST_COOKIE &cookie);

    // Every cookie as a Netscape cookie-file line.
    QList<QByteArray> Cookies() const;
    // Every unexpired cookie.
    QList<ST_COOKIE> CookieRecords() const;
    // Drops every cookie, in memory and in the file.
    void Clear();

    // Something changed the cookies (an answer set one): the file is written
    // now unless the last such write is less than a few seconds ago; then a
    // later change, SaveIfDue or Flush writes it.  So picture workers whose
    // servers set cookies do not queue up behind the file.
    void CookiesChanged();
    // Writes the file when a change is pending and the interval has passed.
    void SaveIfDue();
    // Writes the file now when a change is pending (at exit, after a log-in).
    void Flush();
    // Writes the file now.  The file is replaced atomically (a reader never
    // sees half a file) and merged with what another instance wrote there.
    bool Save();

    // Internal: connects a transfer handle (a CURL *) to the store.
    void Attach(void *curlHandle);

    // ICookieBridge
    void BrowserCookieAdded(const ST_COOKIE &cookie) override;
    void BrowserCookieRemoved(const ST_COOKIE &cookie) override;
    std::vector<ST_COOKIE> CookiesForBrowser() override;
    void BrowserClosed() override;

private:
    CCookieStore();
    struct Impl;
    std::unique_ptr<Impl> d;
};
