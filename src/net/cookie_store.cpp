#include "net/cookie_store.h"

#include "net/curl_handle.h"
#include "util/app_data_folder.h"
#include "util/file_utils.h"
#include "util/part_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace {
const char kFileHeader[] = "# Netscape HTTP Cookie File\n";
// Throttled writes of the cookie file are at least this far apart.
constexpr std::chrono::milliseconds kSaveInterval{5000};

// A cookie that would not read back the same after Save: libcurl strips one
// leading dot of a domain as it reads, so "..x" comes back as "x", and it
// writes domain ".#x" as "#x", a comment line.  No host is named so.
bool Savable(const QByteArray &line)
{
    qsizetype i = line.startsWith("#HttpOnly_") ? 10 : 0;
    if (i < line.size() && line[i] == '.')
        ++i;
    return i < line.size() && line[i] != '.' && line[i] != '#' && line[i] != '\t';
}

QString DefaultCookieFile()
{
    return AppDataFolder() + QStringLiteral("cookies.txt");
}

int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The cookies of a cookie file, read in one pass.
QList<ST_COOKIE> ParseFile(const QByteArray &text)
{
    QList<ST_COOKIE> cookies;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        // Only cookie lines as Save writes them: the list command would also
        // run "ALL" or "FLUSH" and guess at broken lines, and a line Save
        // cannot write back would change after the next save.
        if (line.isEmpty() || !Savable(line))
            continue;
        if (auto c = FromNetscapeLine(line))
            cookies.append(*c);
    }
    return cookies;
}

QList<ST_COOKIE> Parse(const QList<QByteArray> &lines)
{
    QList<ST_COOKIE> cookies;
    for (const QByteArray &l : lines)
        if (auto c = FromNetscapeLine(l))
            cookies.append(*c);
    return cookies;
}

// The cookies a loaded file leaves: a later line of a key replaces an earlier
// one (and an expired one deletes it), in the order of their last lines.
QList<ST_COOKIE> LiveCookies(const QList<ST_COOKIE> &lines, int64_t now)
{
    QHash<QByteArray, qsizetype> last;
    for (qsizetype i = 0; i < lines.size(); ++i)
        last.insert(CookieKey(lines[i]), i);
    QList<ST_COOKIE> live;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ST_COOKIE &c = lines[i];
        if (last.value(CookieKey(c)) == i && (c.IsSession() || c.expires > now))
            live.append(c);
    }
    return live;
}

bool HasDomainAttribute(const QByteArray &setCookie)
{
    const QList<QByteArray> parts = setCookie.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i)
        if (parts[i].split('=').first().trimmed().toLower() == "domain")
            return true;
    return false;
}
} // namespace

struct CCookieStore::Impl
{
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
    CurlSharePtr share;
    // Serialises writing the file and switching it.
    mutable std::mutex fileMutex;
    QString path;
    QList<ST_COOKIE> lastSeen; // the file as last read or written; under fileMutex
    // When the store first held each cookie (by CookieKey), so the cap drops
    // the oldest; the file keeps them oldest first.  Under fileMutex.
    QHash<QByteArray, quint64> age;
    quint64 nextAge = 0;
    std::atomic<bool> dirty{false};
    std::atomic<int64_t> nextSaveMs{0};

    static void Lock(CURL *, curl_lock_data data, curl_lock_access, void *user)
    {
        static_cast<Impl *>(user)->locks[data].lock();
    }
    static void Unlock(CURL *, curl_lock_data data, void *user)
    {
        static_cast<Impl *>(user)->locks[data].unlock();
    }

    // A fresh handle for each list operation: libcurl counts the cookies one
    // handle takes in and ignores every one after the fiftieth.
    CurlEasyPtr NewHandle(bool shared = true)
    {
        CurlEasyPtr h(curl_easy_init());
        if (!h)
            throw std::bad_alloc();
        if (shared)
            curl_easy_setopt(h.get(), CURLOPT_SHARE, share.get());
        curl_easy_setopt(h.get(), CURLOPT_COOKIEFILE, "");
        return h;
    }

    bool ListCommand(const char *command)
    {
        const CurlEasyPtr h = NewHandle();
        return curl_easy_setopt(h.get(), CURLOPT_COOKIELIST, command) == CURLE_OK;
    }

    static QList<QByteArray> Lines(CURL *h)
    {
        QList<QByteArray> lines;
        curl_slist *raw = nullptr;
        curl_easy_getinfo(h, CURLINFO_COOKIELIST, &raw);
        const CurlSlistPtr list(raw);
        for (const curl_slist *l = list.get(); l; l = l->next)
            lines.append(QByteArray(l->data));
        return lines;
    }
    QList<QByteArray> Lines() { return Lines(NewHandle().get()); }

    // libcurl reads the header line on a handle of its own, so the attributes
    // are its; the scope is then set back to the host alone when the line did
    // not ask for a domain.
    std::optional<ST_COOKIE> ParseSetCookie(const QByteArray &line, const QString &host)
    {
        const bool domainWide = HasDomainAttribute(line);
        QByteArray command = "Set-Cookie: " + line;
        if (!domainWide && !host.isEmpty())
            command += "; domain=" + host.toUtf8();
        const CurlEasyPtr h = NewHandle(false);
        if (curl_easy_setopt(h.get(), CURLOPT_COOKIELIST, command.constData()) != CURLE_OK)
            return std::nullopt;
        const QList<ST_COOKIE> parsed = Parse(Lines(h.get()));
        if (parsed.size() != 1)
            return std::nullopt;
        ST_COOKIE c = parsed.first();
        if (!domainWide)
            c.hostOnly = true;
        return c;
    }

    // Caller holds fileMutex.  Only what the cap keeps is handed to libcurl,
    // whose cost per cookie grows with the cookies of its domain.
    void LoadFile()
    {
        lastSeen.clear();
        age.clear();
        const std::optional<QByteArray> text = ReadRegularFile(path);
        if (!text)
            return;
        lastSeen = ParseFile(*text);
        for (const ST_COOKIE &c : CapCookies(LiveCookies(lastSeen, QDateTime::currentSecsSinceEpoch()))) {
            ListCommand(ToNetscapeLine(c).constData());
            age.insert(CookieKey(c), nextAge++);
        }
    }

    // Caller holds fileMutex.  `cookies` oldest first; a cookie not seen
    // before counts as newer than all that were.
    void SortByAge(QList<ST_COOKIE> &cookies)
    {
        std::vector<std::pair<quint64, qsizetype>> order;
        order.reserve(size_t(cookies.size()));
        for (qsizetype i = 0; i < cookies.size(); ++i) {
            const QByteArray key = CookieKey(cookies[i]);
            auto it = age.find(key);
            if (it == age.end())
                it = age.insert(key, nextAge++);
            order.emplace_back(*it, i);
        }
        std::stable_sort(order.begin(), order.end());
        QList<ST_COOKIE> sorted;
        sorted.reserve(cookies.size());
        for (const auto &[when, i] : order)
            sorted.append(cookies[i]);
        cookies = std::move(sorted);
    }

    // Caller holds fileMutex.
    bool WriteFile(const QList<QByteArray> &lines)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QByteArray text(kFileHeader);
        for (const QByteArray &l : lines)
            text += l + '\n';
        // Cookies are log-in secrets: only the user may read them.  Written
        // as pictures are, so a link planted at the name is replaced, never
        // followed; a link the user made to the folder itself is.
        const QFileInfo file(path);
        const QString folder = file.absoluteDir().canonicalPath();
        if (folder.isEmpty())
            return false;
        return ReplaceFileWith(folder + u'/' + file.fileName(), text, 0600);
    }

    // Caller holds fileMutex.  Cleared before the cookies are read, so a
    // change made meanwhile stays pending.
    bool SaveLocked()
    {
        dirty = false;
        QList<ST_COOKIE> memory = Parse(Lines());
        const QList<ST_COOKIE> onDisk = ParseFile(ReadRegularFile(path).value_or(QByteArray()));
        const int64_t now = QDateTime::currentSecsSinceEpoch();
        SortByAge(memory);
        const qsizetype nHeld = memory.size();
        QList<ST_COOKIE> adopted = CookiesToAdopt(memory, onDisk, lastSeen, now);
        SortByAge(adopted);
        memory += adopted;
        const QList<ST_COOKIE> kept = CapCookies(memory);
        QHash<QByteArray, quint64> keptAge;
        for (const ST_COOKIE &c : kept) {
            const QByteArray key = CookieKey(c);
            keptAge.insert(key, age.value(key));
        }
        // Over the cap: libcurl then holds the kept ones alone, which costs
        // fewer calls than removing the others one by one.
        bool bRebuild = false;
        for (qsizetype i = 0; i < nHeld && !bRebuild; ++i)
            bRebuild = !keptAge.contains(CookieKey(memory[i]));
        if (bRebuild)
            DropAll();
        for (qsizetype i = bRebuild ? 0 : nHeld; i < kept.size(); ++i)
            ListCommand(ToNetscapeLine(kept[i]).constData());
        age = std::move(keptAge);
        const QList<QByteArray> lines = PersistentLines(kept, now);
        if (!WriteFile(lines)) {
            dirty = true;
            return false;
        }
        lastSeen = Parse(lines);
        return true;
    }

    void DropAll() { ListCommand("ALL"); }
};

CCookieStore &CCookieStore::Instance()
{
    // Never destroyed: detached workers may still be fetching while the
    // process runs its exit handlers.
    alignas(CCookieStore) static unsigned char storage[sizeof(CCookieStore)];
    static CCookieStore *const store = new (storage) CCookieStore;
    return *store;
}

CCookieStore::CCookieStore() : d(std::make_unique<Impl>())
{
    EnsureCurlGlobalInit();
    d->share.reset(curl_share_init());
    if (!d->share)
        throw std::bad_alloc();
    curl_share_setopt(d->share.get(), CURLSHOPT_LOCKFUNC, &Impl::Lock);
    curl_share_setopt(d->share.get(), CURLSHOPT_UNLOCKFUNC, &Impl::Unlock);
    curl_share_setopt(d->share.get(), CURLSHOPT_USERDATA, d.get());
    curl_share_setopt(d->share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);

    std::lock_guard lock(d->fileMutex);
    d->path = DefaultCookieFile();
    d->LoadFile();
}

CCookieStore::~CCookieStore() = default;

void CCookieStore::Attach(void *curlHandle)
{
    CURL *c = static_cast<CURL *>(curlHandle);
    curl_easy_setopt(c, CURLOPT_SHARE, d->share.get());
    // Without a cookie file name the handle's cookie engine stays off.
    curl_easy_setopt(c, CURLOPT_COOKIEFILE, "");
}

QString CCookieStore::CookieFile() const
{
    std::lock_guard lock(d->fileMutex);
    return d->path;
}

void CCookieStore::SetCookieFile(const QString &path)
{
    std::lock_guard lock(d->fileMutex);
    d->path = path;
    d->DropAll();
    d->LoadFile();
    d->dirty = false;
    d->nextSaveMs = 0;
}

void CCookieStore::Reload()
{
    std::lock_guard lock(d->fileMutex);
    d->DropAll();
    d->LoadFile();
    d->dirty = false;
}

bool CCookieStore::AddCookie(const QByteArray &setCookieLine, const QString &host)
{
    QByteArray line = setCookieLine.trimmed();
    const bool prefixed = qstrnicmp(line.constData(), "Set-Cookie:", 11) == 0;
    std::optional<ST_COOKIE> cookie;
    if (prefixed || !line.contains('\t')) {
        if (prefixed)
            line = line.mid(11).trimmed();
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0 || line.left(eq).trimmed().isEmpty())
            return false;
        cookie = d->ParseSetCookie(line, host);
    } else {
        cookie = FromNetscapeLine(line);
    }
    if (!cookie)
        return false;
    PutCookie(*cookie);
    return true;
}

void CCookieStore::PutCookie(const ST_COOKIE &cookie)
{
    d->ListCommand(ToNetscapeLine(cookie).constData());
    CookiesChanged();
}

void CCookieStore::RemoveCookie(const ST_COOKIE &cookie)
{
    // An expired cookie takes the place of the one of the same key, and
    // libcurl then drops it.
    ST_COOKIE gone = cookie;
    gone.expires = 1;
    d->ListCommand(ToNetscapeLine(gone).constData());
    CookiesChanged();
}

QList<QByteArray> CCookieStore::Cookies() const
{
    return d->Lines();
}

QList<ST_COOKIE> CCookieStore::CookieRecords() const
{
    const int64_t now = QDateTime::currentSecsSinceEpoch();
    QList<ST_COOKIE> cookies = Parse(d->Lines());
    cookies.removeIf([now](const ST_COOKIE &c) { return !c.IsSession() && c.expires <= now; });
    return cookies;
}

void CCookieStore::Clear()
{
    std::lock_guard lock(d->fileMutex);
    d->DropAll();
    d->dirty = false;
    d->lastSeen.clear();
    d->WriteFile({});
}

void CCookieStore::CookiesChanged()
{
    d->dirty = true;
    SaveIfDue();
}

void CCookieStore::SaveIfDue()
{
    if (!d->dirty)
        return;
    const int64_t now = SteadyMs();
    if (now < d->nextSaveMs)
        return;
    // A thread that finds the file busy leaves the change pending.
    std::unique_lock lock(d->fileMutex, std::try_to_lock);
    if (!lock.owns_lock())
        return;
    d->nextSaveMs = now + kSaveInterval.count();
    d->SaveLocked();
}

void CCookieStore::Flush()
{
    std::lock_guard lock(d->fileMutex);
    if (d->dirty)
        d->SaveLocked();
}

bool CCookieStore::Save()
{
    std::lock_guard lock(d->fileMutex);
    return d->SaveLocked();
}

void CCookieStore::BrowserCookieAdded(const ST_COOKIE &cookie)
{
    PutCookie(cookie);
}

void CCookieStore::BrowserCookieRemoved(const ST_COOKIE &cookie)
{
    RemoveCookie(cookie);
}

std::vector<ST_COOKIE> CCookieStore::CookiesForBrowser()
{
    const QList<ST_COOKIE> cookies = CookieRecords();
    return {cookies.begin(), cookies.end()};
}

void CCookieStore::BrowserClosed()
{
    Flush();
}
