#include "net/download_file.h"

#include "net/curl_handle.h"
#include "net/net_config.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

struct Transfer
{
    QSaveFile file;
    const std::atomic<bool> *abort = nullptr;
    bool writeFailed = false;
};

size_t OnBody(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<Transfer *>(user);
    const qint64 n = qint64(size * count);
    if (t->file.write(data, n) != n) {
        t->writeFailed = true;
        return 0;
    }
    return size * count;
}

int OnProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *t = static_cast<const Transfer *>(user);
    return t->abort && t->abort->load() ? 1 : 0;
}

} // namespace

bool DownloadToFile(const QString &url, const QString &path, int timeoutSec, const std::atomic<bool> *abort)
{
    if (url.isEmpty() || path.isEmpty() || (abort && abort->load()))
        return false;
    EnsureCurlGlobalInit();
    CurlEasyPtr curl(curl_easy_init());
    if (!curl)
        return false;
    Transfer t;
    t.abort = abort;
    t.file.setFileName(path);
    t.file.setDirectWriteFallback(false);
    if (!t.file.open(QIODevice::WriteOnly))
        return false;

    const QByteArray address = url.toUtf8();
    const QByteArray caFile = QFile::encodeName(TlsCaFile());
    CURL *c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, long(std::max(timeoutSec, 1)));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(std::max(timeoutSec, 1)));
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    if (!caFile.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);

    if (curl_easy_perform(c) != CURLE_OK || t.writeFailed) {
        t.file.cancelWriting();
        return false;
    }
    return t.file.commit();
}
