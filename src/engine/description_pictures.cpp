#include "engine/description_pictures.h"

#include "engine/engine_state.h"
#include "engine/page_html.h"
#include "engine/picture_naming.h"
#include "net/response_text.h"
#include "net/url_fetcher.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUrl>

namespace {

constexpr uint32_t kDescriptionTimeoutMs = 20000;

} // namespace

bool IsDescriptionUrl(const QUrl &url)
{
    const QString host = url.host();
    return (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) &&
           url.userInfo().isEmpty() &&
           (host == QLatin1String("cd.jd.com") || host == QLatin1String("d.3.cn") || host == QLatin1String("dx.3.cn"));
}

QString DescriptionContent(const QString &answer)
{
    const qsizetype open = answer.indexOf(u'{');
    const qsizetype close = answer.lastIndexOf(u'}');
    if (open < 0 || close < open)
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(answer.mid(open, close - open + 1).toUtf8());
    return doc.object().value(QStringLiteral("content")).toString();
}

QStringList DescriptionPictureUrls(const QString &html, const QString &base)
{
    const QUrl baseUrl(base);
    QStringList urls;
    QSet<QString> seen;
    for (const QString &raw : ReadHtmlPictureRefs(html)) {
        const QUrl url = baseUrl.resolved(QUrl(raw));
        if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
            continue;
        const QString address = url.toString();
        if (!seen.contains(address)) {
            seen.insert(address);
            urls.append(address);
        }
    }
    return urls;
}

bool AddDescriptionPictures(CEngineState &state, IJobHost &host, int albumIndex, const QString &desc)
{
    const QString album = state.albums.GetAlbum(albumIndex).strUrl;
    if (desc.isEmpty())
        return true;
    const QUrl url = QUrl(album).resolved(QUrl(desc));
    if (!IsDescriptionUrl(url))
        return true;
    const QString address = url.toString();

    ST_URLREQUEST req;
    InitUrlRequest(req, address, QString(), kDescriptionTimeoutMs);
    req.pAbort = &state.pics.bStopDownPic;
    // Asked for as the product page itself would.
    req.strHeaders = QStringLiteral("Accept-Encoding: gzip, deflate\r\nReferer: ") + album;
    ST_URLRESPONSE resp;
    InitUrlResponse(resp);
    if (!FetchUrl(req, resp, 0))
        return true;
    // Entities stay for the HTML parser: decoded in the answer, one could end
    // a JSON string early.
    QString answer;
    GetResponseText(resp, answer, TXTF_GUNZIP | TXTF_CHARSET | TXTF_AUTO | TXTF_KEEP_ENTITIES);
    const QString content = DescriptionContent(answer);

    int n = 0;
    for (const QString &url : DescriptionPictureUrls(content, address)) {
        if (state.job.FindUrl(url) >= 0)
            continue;
        AddPicture(state, host, url, QStringLiteral("描述_%1").arg(++n), QString(), albumIndex);
        if (StopCollecting(state))
            return false;
    }
    return true;
}
