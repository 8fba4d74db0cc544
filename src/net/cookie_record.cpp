#include "net/cookie_record.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {
const QByteArray kHttpOnlyPrefix("#HttpOnly_");

const char *Flag(bool b)
{
    return b ? "TRUE" : "FALSE";
}

bool Persistent(const ST_COOKIE &c, int64_t now)
{
    return !c.IsSession() && c.expires > now;
}
} // namespace

QByteArray ToNetscapeLine(const ST_COOKIE &c)
{
    QByteArray line;
    if (c.httpOnly)
        line += kHttpOnlyPrefix;
    if (!c.hostOnly)
        line += '.';
    line += c.domain.toUtf8() + '\t' + Flag(!c.hostOnly) + '\t' + c.path.toUtf8() + '\t' + Flag(c.secure)
            + '\t' + QByteArray::number(qint64(c.expires)) + '\t' + c.name + '\t' + c.value;
    return line;
}

std::optional<ST_COOKIE> FromNetscapeLine(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    ST_COOKIE c;
    if (line.startsWith(kHttpOnlyPrefix)) {
        c.httpOnly = true;
        line.remove(0, kHttpOnlyPrefix.size());
    } else if (line.startsWith('#')) {
        return std::nullopt;
    }
    // libcurl takes each line as a C string and cuts it at a zero byte;
    // other control characters belong in no cookie.
    for (const char ch : line)
        if ((uchar(ch) < 0x20 && ch != '\t') || ch == '\x7f')
            return std::nullopt;
    const QList<QByteArray> f = line.split('\t');
    // libcurl reads the fields with strtok, which merges runs of tabs: any
    // empty field but the value would shift the rest.
    if (f.size() != 7 || std::any_of(f.cbegin(), f.cbegin() + 6, [](const QByteArray &x) { return x.isEmpty(); }))
        return std::nullopt;
    bool numeric = false;
    c.expires = f[4].toLongLong(&numeric);
    if (!numeric)
        return std::nullopt;
    // Domain and path are held as text: bytes that are not UTF-8 would be
    // saved as other bytes, a different cookie.
    if (!f[0].isValidUtf8() || !f[2].isValidUtf8())
        return std::nullopt;
    QByteArray domain = f[0];
    // libcurl reads both flags without regard to case.
    c.hostOnly = qstricmp(f[1].constData(), "TRUE") != 0;
    if (domain.startsWith('.'))
        domain.remove(0, 1);
    c.domain = QString::fromUtf8(domain);
    c.path = QString::fromUtf8(f[2]);
    c.secure = qstricmp(f[3].constData(), "TRUE") == 0;
    c.name = f[5];
    c.value = f[6];
    return c;
}

QByteArray CookieKey(const ST_COOKIE &c)
{
    return c.domain.toLower().toUtf8() + (c.hostOnly ? "\t\t" : "\t.\t") + c.path.toUtf8() + '\t' + c.name;
}

QList<ST_COOKIE> CookiesToAdopt(const QList<ST_COOKIE> &memory, const QList<ST_COOKIE> &onDisk,
                                const QList<ST_COOKIE> &lastSeen, int64_t now)
{
    QSet<QByteArray> held;
    for (const ST_COOKIE &c : memory)
        held.insert(CookieKey(c));
    QHash<QByteArray, QByteArray> seen;
    for (const ST_COOKIE &c : lastSeen)
        seen.insert(CookieKey(c), ToNetscapeLine(c));
    // As when the file is loaded, a later line replaces an earlier one of the
    // same key: an expired later line has deleted the cookie.
    QHash<QByteArray, qsizetype> lastLine;
    for (qsizetype i = 0; i < onDisk.size(); ++i)
        lastLine.insert(CookieKey(onDisk[i]), i);
    QList<ST_COOKIE> adopted;
    for (qsizetype i = 0; i < onDisk.size(); ++i) {
        const ST_COOKIE &c = onDisk[i];
        const QByteArray key = CookieKey(c);
        if (lastLine.value(key) != i || held.contains(key) || !Persistent(c, now))
            continue;
        const auto it = seen.constFind(key);
        if (it != seen.constEnd() && *it == ToNetscapeLine(c))
            continue;
        held.insert(key);
        adopted.append(c);
    }
    return adopted;
}

QList<QByteArray> PersistentLines(const QList<ST_COOKIE> &cookies, int64_t now)
{
    QList<QByteArray> lines;
    for (const ST_COOKIE &c : cookies)
        if (Persistent(c, now))
            lines.append(ToNetscapeLine(c));
    return lines;
}

QList<ST_COOKIE> CapCookies(const QList<ST_COOKIE> &oldestFirst, int nPerDomain, int nTotal)
{
    // From the newest back, so each bound keeps the newest.
    QHash<QString, int> perDomain;
    QList<ST_COOKIE> kept;
    for (auto it = oldestFirst.crbegin(); it != oldestFirst.crend() && kept.size() < nTotal; ++it) {
        int &n = perDomain[it->domain.toLower()];
        if (n >= nPerDomain)
            continue;
        ++n;
        kept.append(*it);
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
}
