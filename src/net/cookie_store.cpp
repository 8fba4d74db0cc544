#include "net/cookie_store.h"

#include "net/curl_handle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <array>
#include <mutex>
#include <new>

namespace {
const char kFileHeader[] = "# Netscape HTTP Cookie File\n";

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
    // Spelled out rather than AppDataLocation, so the place does not depend on
    // whether the application object has set its names yet.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Lumbrack/Ostrel/cookies.txt");
}
} // namespace

struct CCookieStore::Impl
{
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
    CurlSharePtr share;
    // Serialises writing the file and switching it.
    mutable std::mutex fileMutex;
    QString path;

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
    CurlEasyPtr NewHandle()
    {
        CurlEasyPtr h(curl_easy_init());
        if (!h)
            throw std::bad_alloc();
        curl_easy_setopt(h.get(), CURLOPT_SHARE, share.get());
        curl_easy_setopt(h.get(), CURLOPT_COOKIEFILE, "");
        return h;
    }

    bool ListCommand(const char *command)
    {
        const CurlEasyPtr h = NewHandle();
        return curl_easy_setopt(h.get(), CURLOPT_COOKIELIST, command) == CURLE_OK;
    }

    QList<QByteArray> Lines()
    {
        QList<QByteArray> lines;
        curl_slist *raw = nullptr;
        curl_easy_getinfo(NewHandle().get(), CURLINFO_COOKIELIST, &raw);
        const CurlSlistPtr list(raw);
        for (const curl_slist *l = list.get(); l; l = l->next)
            lines.append(QByteArray(l->data));
        return lines;
    }

    // Caller holds fileMutex.
    void LoadFile()
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return;
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (QByteArray line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (line.isEmpty() || (line.startsWith('#') && !line.startsWith("#HttpOnly_")))
                continue;
            // Only cookie lines as Save writes them: the list command would
            // also run "ALL" or "FLUSH" and guess at broken lines.
            if (line.count('\t') != 6 || !Savable(line))
                continue;
            ListCommand(line.constData());
        }
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
}

void CCookieStore::Reload()
{
    std::lock_guard lock(d->fileMutex);
    d->DropAll();
    d->LoadFile();
}

bool CCookieStore::AddCookie(const QByteArray &setCookieLine, const QString &host)
{
    QByteArray line = setCookieLine.trimmed();
    QByteArray name;
    const bool prefixed = qstrnicmp(line.constData(), "Set-Cookie:", 11) == 0;
    if (prefixed || !line.contains('\t')) {
        if (prefixed)
            line = line.mid(11).trimmed();
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            return false;
        name = line.left(eq).trimmed();
        if (!host.isEmpty() && !line.toLower().contains("domain="))
            line += "; domain=" + host.toUtf8();
        line.prepend("Set-Cookie: ");
    } else {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 7)
            return false;
        name = fields[5];
    }
    if (!d->ListCommand(line.constData()))
        return false;
    Save();
    // libcurl takes bad cookies silently; look whether it is there now.
    for (const QByteArray &l : Cookies()) {
        const QList<QByteArray> fields = l.split('\t');
        if (fields.size() >= 6 && fields[5] == name)
            return true;
    }
    return false;
}

QList<QByteArray> CCookieStore::Cookies() const
{
    return d->Lines();
}

void CCookieStore::Clear()
{
    d->DropAll();
    Save();
}

bool CCookieStore::Save()
{
    std::lock_guard lock(d->fileMutex);
    const QList<QByteArray> lines = d->Lines();
    QDir().mkpath(QFileInfo(d->path).absolutePath());
    QSaveFile f(d->path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // Cookies are log-in secrets: only the user may read them.
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray text(kFileHeader);
    for (const QByteArray &l : lines)
        text += l + '\n';
    if (f.write(text) != text.size())
        return false;
    return f.commit();
}
