#include "engine/description_pictures.h"

#include "engine/engine_state.h"
#include "engine/picture_naming.h"
#include "net/response_text.h"
#include "net/url_fetcher.h"
#include "util/text_utils.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace {

constexpr uint32_t kDescriptionTimeoutMs = 20000;

// Value of attribute `name` in one tag, quoted or not; empty when missing.
QString AttributeValue(const QString &tag, const QString &name)
{
    const QRegularExpression attr(
        QStringLiteral(R"re((?<![\w-])%1\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>"']+)))re").arg(name),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = attr.match(tag);
    for (int g = 1; g <= 3; ++g)
        if (m.capturedLength(g) > 0)
            return m.captured(g).trimmed();
    return {};
}

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
    // One scan, so the three kinds keep their page order.
    static const QRegularExpression picture(
        QStringLiteral(R"re((<img\b[^>]*>)|(?<![\w-])(data-lazyload\s*=\s*(?:"[^"]*"|'[^']*'))|)re"
                       R"re(background(?:-image)?\s*:[^;{}<>]*?url\(\s*["']?([^"')\s]+))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QUrl baseUrl(base);
    QStringList urls;
    QSet<QString> seen;
    for (auto it = picture.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString raw;
        if (m.capturedLength(1) > 0) {
            raw = AttributeValue(m.captured(1), QStringLiteral("data-lazyload"));
            if (raw.isEmpty())
                raw = AttributeValue(m.captured(1), QStringLiteral("src"));
        } else if (m.capturedLength(2) > 0) {
            raw = AttributeValue(m.captured(2), QStringLiteral("data-lazyload"));
        } else {
            raw = m.captured(3);
        }
        if (raw.isEmpty())
            continue;
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
    // JSON escapes first, entities afterwards: an entity decoded in the
    // answer could end a JSON string early.
    QString answer;
    GetResponseText(resp, answer, TXTF_GUNZIP | TXTF_CHARSET | TXTF_AUTO | TXTF_KEEP_ENTITIES);
    QString content = DescriptionContent(answer);
    DecodeHtmlEntities(content);

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
