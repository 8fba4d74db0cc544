// Cookie files of any content: loading never fails, and what the store saves
// loads back to the same cookies.  Input parts: the cookie file, then an
// optional cookie line given to AddCookie and its host.

#include "fuzz_support.h"

#include "net/cookie_store.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <cstdlib>

namespace {

// libcurl drops an expired cookie only when the next one comes in, so which
// expired ones a listing still shows depends on the loading order; the order
// of the listing itself follows libcurl's hash, not the file.  Session
// cookies never go to the file, so only persistent ones count.
QList<QByteArray> LiveCookies(const CCookieStore &store)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QList<QByteArray> live;
    for (const QByteArray &line : store.Cookies()) {
        const QList<QByteArray> fields = line.split('\t');
        const qint64 expires = fields.size() == 7 ? fields[4].toLongLong() : 0;
        if (expires > now + 60)
            live.append(line);
    }
    std::sort(live.begin(), live.end());
    return live;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The store reads its default file when first used: never the user's own.
    setenv("XDG_DATA_HOME", fuzz::FreshFolder(QStringLiteral("data")).toLocal8Bit().constData(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = fuzz::Parts(data, size);
    const QString path = fuzz::FreshFolder(QStringLiteral("cookies")) + QStringLiteral("cookies.txt");
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly));
        f.write(parts[0]);
    }
    CCookieStore &store = CCookieStore::Instance();
    store.SetCookieFile(path);
    if (parts.size() > 1)
        store.AddCookie(parts[1], parts.size() > 2 ? QString::fromUtf8(parts[2]) : QString());
    const QList<QByteArray> loaded = LiveCookies(store);
    FUZZ_CHECK(store.Save());
    store.Reload();
    FUZZ_CHECK(LiveCookies(store) == loaded);
    return 0;
}
