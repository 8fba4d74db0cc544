#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// The one process-wide cookie store.  Every request on every thread sends and
// stores its cookies here, and the log-in browser feeds it, so a log-in made
// in the browser carries over to the downloads.  It lives in a cookie file in
// the user's application data folder, so a log-in lasts across runs.
class CCookieStore
{
public:
    static CCookieStore &Instance();

    CCookieStore(const CCookieStore &) = delete;
    CCookieStore &operator=(const CCookieStore &) = delete;
    ~CCookieStore();

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
    // line.  The file is saved at once.  False when the line is not a cookie.
    bool AddCookie(const QByteArray &setCookieLine, const QString &host = QString());

    // Every cookie as a Netscape cookie-file line.
    QList<QByteArray> Cookies() const;
    // Drops every cookie, in memory and in the file.
    void Clear();

    // Writes the cookies to the file (atomically: a reader never sees half a
    // file, several threads saving at once leave one whole file).
    bool Save();

    // Internal: connects a transfer handle (a CURL *) to the store.
    void Attach(void *curlHandle);

private:
    CCookieStore();
    struct Impl;
    std::unique_ptr<Impl> d;
};
