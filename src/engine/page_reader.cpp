#include "engine/page_reader.h"

#include "engine/page_classic.h"
#include "engine/page_config.h"
#include "engine/page_html.h"

#include <QSet>
#include <QUrl>

namespace {

// Where the shop keeps the pictures its configuration names by bare path,
// in the thumbnail size the strip would have shown.
const QString kPictureHost = QStringLiteral("http://img10.360buyimg.com");
const QString kThumbnailSize = QStringLiteral("/n5/");

bool HasAddress(const QStringList &urls)
{
    for (const QString &url : urls)
        if (!url.isEmpty())
            return true;
    return false;
}

QStringList PictureAddresses(const QStringList &raws, bool bKeepEmpty)
{
    QStringList urls;
    for (const QString &raw : raws) {
        const QString url = PictureAddress(raw);
        if (!url.isEmpty() || bKeepEmpty)
            urls.append(url);
    }
    return urls;
}

bool AllDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool HasProductChoice(const std::vector<ST_PAGECHOICE> &choices)
{
    for (const ST_PAGECHOICE &c : choices)
        if (IsProductPageUrl(c.strUrl))
            return true;
    return false;
}

} // namespace

bool IsCheckPageTitle(const QString &title)
{
    return title.contains(QStringLiteral("京东验证")) || title.contains(QStringLiteral("安全验证"));
}

QString ProductSku(const QString &url)
{
    const QUrl u(url, QUrl::StrictMode);
    if (!u.isValid() || (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https")) ||
        !u.userInfo().isEmpty() || u.hasQuery())
        return {};
    const QString host = u.host();
    if (host != QLatin1String("item.jd.com") && host != QLatin1String("item.jd.hk") &&
        host != QLatin1String("npcitem.jd.hk"))
        return {};
    const QString path = u.path();
    if (!path.startsWith(u'/') || !path.endsWith(QLatin1String(".html")))
        return {};
    const QStringView sku = QStringView(path).mid(1, path.size() - 6);
    return AllDigits(sku) ? sku.toString() : QString();
}

bool IsProductPageUrl(const QString &url)
{
    return !ProductSku(url).isEmpty();
}

QString PictureAddress(const QString &raw)
{
    const QString path = raw.trimmed();
    if (path.isEmpty())
        return {};
    for (const QChar c : path)
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F || c == u'"' || c == u'\'')
            return {};
    if (path.startsWith(QStringLiteral("//")))
        return QStringLiteral("http:") + path;
    const QUrl url(path);
    if (!url.scheme().isEmpty()) {
        const bool bWeb = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
        return bWeb && !url.host().isEmpty() ? path : QString();
    }
    if (path.startsWith(u'/'))
        return kPictureHost + path;
    return kPictureHost + kThumbnailSize + path;
}

QString ChoiceAddress(const QString &pageUrl, const QString &sku)
{
    const QUrl page(pageUrl);
    QUrl choice;
    choice.setScheme(page.scheme().isEmpty() ? QStringLiteral("https") : page.scheme());
    const QString host = page.host();
    choice.setHost(host.contains(QStringLiteral("item.jd.")) ? host : QStringLiteral("item.jd.com"));
    choice.setPort(page.port());
    choice.setPath(QStringLiteral("/%1.html").arg(sku));
    return choice.toString();
}

ST_PRODUCTPAGE ReadProductPage(const QString &text, const QString &html, const QString &pageUrl,
                               bool bDescription)
{
    ST_PRODUCTPAGE page;
    page.strTitle = ClassicTitle(text);
    page.arrThumbs = ClassicThumbnails(text);
    std::vector<ST_PAGECHOICE> classicChoices = ClassicChoices(text);

    const ST_HTMLPAGE parsed = ReadHtmlPage(html.isEmpty() ? text : html);
    if (page.strTitle.isEmpty())
        page.strTitle = parsed.strTitle;
    page.bCheckPage = page.strTitle.isEmpty() && IsCheckPageTitle(parsed.strDocTitle);
    if (!HasAddress(page.arrThumbs))
        page.arrThumbs = PictureAddresses(parsed.arrThumbs, true);
    // The attribute rows name the choices where a page has them; the classic
    // area of such a page spans the whole buy box, links of every kind.
    for (const ST_HTMLCHOICE &c : parsed.arrChoices)
        page.arrChoices.push_back({ChoiceAddress(pageUrl, c.strSku), c.strName});
    if (page.arrChoices.empty())
        page.arrChoices = std::move(classicChoices);

    const bool bNeedConfig = page.strTitle.isEmpty() || !HasAddress(page.arrThumbs) ||
                             !HasProductChoice(page.arrChoices) || bDescription;
    if (parsed.strConfigScript.isEmpty() || !bNeedConfig)
        return page;
    const ST_PAGECONFIG config = ReadPageConfig(parsed.strConfigScript);
    page.strFailure = config.strFailure;
    if (page.strTitle.isEmpty())
        page.strTitle = config.strName.simplified();
    if (!HasAddress(page.arrThumbs))
        page.arrThumbs = PictureAddresses(config.arrImages, false);
    if (!HasProductChoice(page.arrChoices)) {
        std::vector<ST_PAGECHOICE> sized;
        QSet<QString> seen;
        for (const auto &[sku, name] : config.arrColorSize) {
            if (!AllDigits(sku) || seen.contains(sku))
                continue;
            seen.insert(sku);
            sized.push_back({ChoiceAddress(pageUrl, sku), name.simplified()});
        }
        if (!sized.empty())
            page.arrChoices = std::move(sized);
    }
    page.strDescUrl = config.strDesc;
    page.strSkuId = config.strSkuId;
    page.strMainVideoId = config.strMainVideoId;
    return page;
}
