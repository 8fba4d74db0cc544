#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// One cookie as the fetcher's store, its cookie file and the log-in browser
// all know it.  A cookie is one by its name, domain, scope and path.
struct ST_COOKIE
{
    QByteArray name;
    QByteArray value;
    QString domain;          // host name without a leading dot
    bool hostOnly = true;    // false: also goes to every sub-domain of `domain`
    QString path = QStringLiteral("/");
    bool secure = false;
    bool httpOnly = false;
    int64_t expires = 0;     // seconds since 1970 UTC; 0 = a session cookie

    bool IsSession() const { return expires == 0; }
};

// The Netscape cookie-file line of a cookie, as libcurl reads and writes it
// ("#HttpOnly_" prefix, a leading dot on domain-wide cookies).
QByteArray ToNetscapeLine(const ST_COOKIE &cookie);
// The cookie of such a line; nothing for comments and damaged lines (also
// a domain or path that is not UTF-8).
std::optional<ST_COOKIE> FromNetscapeLine(QByteArray line);

// What makes two lines the same cookie: domain with its scope, path and name.
QByteArray CookieKey(const ST_COOKIE &cookie);

// The cookies of the cookie file that the store takes in before it writes
// the file, so two running instances do not overwrite each other.  `memory`
// is every cookie the store holds now, `onDisk` what the file holds now,
// `lastSeen` what the file held when this store last read or wrote it.  A
// persistent, unexpired cookie of the file is taken in unless the store holds
// one of its key, or it is unchanged since last seen and gone from memory
// (then it was removed here).  Of lines of one key only the last counts.
QList<ST_COOKIE> CookiesToAdopt(const QList<ST_COOKIE> &memory, const QList<ST_COOKIE> &onDisk,
                                const QList<ST_COOKIE> &lastSeen, int64_t now);

// The persistent, unexpired cookies as cookie-file lines: what the file holds.
QList<QByteArray> PersistentLines(const QList<ST_COOKIE> &cookies, int64_t now);

// Browsers' bounds on the cookies they keep: per domain and in all.
inline constexpr int kMaxCookiesPerDomain = 180;
inline constexpr int kMaxCookies = 3000;

// The cookies that stay within those bounds, `oldestFirst` in order of age:
// the oldest go first, of a domain over its bound and of the whole over its.
// The order is kept.
QList<ST_COOKIE> CapCookies(const QList<ST_COOKIE> &oldestFirst, int nPerDomain = kMaxCookiesPerDomain,
                            int nTotal = kMaxCookies);
