#include "engine/product_page.h"

#include "engine/description_pictures.h"
#include "engine/engine_state.h"
#include "engine/job_host.h"
#include "engine/notices.h"
#include "engine/picture_naming.h"
#include "engine/product_page_modern.h"
#include "net/response_text.h"
#include "net/url_fetcher.h"
#include "util/text_utils.h"

#include <algorithm>

namespace {

constexpr uint32_t kPageTimeoutMs = 20000;
// Choice addresses shorter than this are no page addresses.
constexpr int kShortestChoiceUrl = 15;

// `reason` (when given) says why a page could not be loaded.
bool LoadPage(const ST_URLREQUEST &req, QString &page, QString *reason = nullptr)
{
    ST_URLRESPONSE resp;
    InitUrlResponse(resp);
    if (!FetchUrl(req, resp, 0)) {
        if (reason)
            *reason = resp.strFailReason;
        return false;
    }
    // Newer pages are UTF-8 and say so; the others are GBK, as before.
    GetResponseText(resp, page, TXTF_GUNZIP | TXTF_CHARSET);
    return true;
}

// The large picture address of one thumbnail text, or empty when it has none.
QString ThumbnailUrl(const QString &thumb)
{
    const QString url = ThumbnailAddress(thumb);
    return url.isEmpty() ? url : LargePictureUrl(url);
}

} // namespace

bool StopCollecting(CEngineState &state, const QStringList &thumbs, qsizetype from)
{
    const uint8_t s = state.DownloadJobState.load();
    if (s == DOWN_SKIP_REST)
        state.nJobPicSkipped += uint32_t(std::max<qsizetype>(0, thumbs.size() - from));
    return s == DOWN_SKIP_REST || s == DOWN_STOP_REQUESTED;
}

QStringList ThumbnailList(QString page)
{
    QStringList thumbs;
    const QString strip = QStringLiteral("class=\"spec-items");
    if (page.indexOf(strip) <= 0)
        return PageConfigThumbnails(page); // a strip drawn by script
    CutAfter(strip, true, page);
    CutBefore(QStringLiteral("</ul>"), page);
    SplitString(thumbs, page, QStringLiteral("src="));
    return thumbs;
}

QString ThumbnailAddress(const QString &thumb)
{
    const qsizetype space = thumb.indexOf(u' ');
    const QString raw = space < 0 ? QString() : thumb.left(space);
    QString url;
    if (raw.contains(QStringLiteral("http://")) || raw.contains(QStringLiteral("https://")))
        url = raw;
    else if (raw.contains(u'.'))
        url = QStringLiteral("http:") + raw;
    else
        return {};
    url.remove(u'"');
    url.remove(u'\'');
    return url;
}

QString LargePictureUrl(QString url)
{
    url.replace(QStringLiteral("/n5/"), QStringLiteral("/n12/"));
    url.replace(QStringLiteral("/n9/"), QStringLiteral("/n12/"));
    url.replace(QStringLiteral("/s75x75_jfs/"), QStringLiteral("/jfs/"));
    // Newer thumbnails carry other sizes, which "/n12/" alone leaves small.
    return DropSizeDirectives(url);
}

void AddProductAlbum(CEngineState &state, IJobHost &host, const QString &address)
{
    ST_URLREQUEST req;
    InitUrlRequest(req, address, QString(), kPageTimeoutMs);
    req.strHeaders = QStringLiteral("Accept-Encoding: gzip, deflate");
    req.pAbort = &state.bAbortList;
    QString page;
    QString reason;
    if (!LoadPage(req, page, &reason)) {
        state.strPageText.clear(); // never taken for this address's page
        // Without this the user would only read "共0个" and not know why.
        if (state.ListJobState.load() != LIST_STOP_REQUESTED)
            host.ShowMessage(notice::PageNotLoaded(reason));
        return;
    }
    const QString whole = page;

    CutAfter(QStringLiteral("id=\"product-intro"), true, page);
    QString title = GetBetween(QStringLiteral("<h1>"), QStringLiteral("</"), 0, page);
    if (title.isEmpty())
        title = ModernProductTitle(whole);
    if (title.isEmpty()) {
        host.ShowMessage(notice::NoProductTitle());
        return;
    }
    state.strSiteFolder = QStringLiteral("京东");

    ST_PERLISTRECORD rec;
    rec.strName = title;
    rec.strUrl = address;
    // For the thumbnail layout of the album list.
    rec.strCoverUrl = FirstThumbnailAddress(whole);
    rec.nPicCount = -1;
    rec.nAttrib = 0;
    if (state.StartupReady.load() == 1) {
        const int count = state.albums.AddAlbum(rec);
        host.AddAlbumRow(count - 1);
    }
    // After a stop the page is not kept; neither is the last product's page,
    // which a download would otherwise take for this album's.
    state.strPageText = state.ListJobState.load() == LIST_STOP_REQUESTED ? QString() : whole;
}

namespace {

// The main pictures: those of every choice (JD picture method 1), else those
// of the product page alone.  False when a stop ended the collection.
bool CollectMainPictures(CEngineState &state, IJobHost &host, int albumIndex, const QString &work)
{
    ST_URLREQUEST req;
    InitUrlRequest(req, QString(), QString(), kPageTimeoutMs);
    req.pAbort = &state.pics.bStopDownPic;
    const ST_PERLISTRECORD album = state.albums.GetAlbum(albumIndex);

    QStringList choices;
    SplitString(choices, work, QStringLiteral("class=\"item"));
    if (!choices.isEmpty() && state.ext.bJdPictureMethod == 1) {
        AdoptModernChoices(choices, album.strUrl);
        bool bMatched = false;
        for (qsizetype i = 1; i < choices.size(); ++i) {
            QString choice = choices[i];
            QString choiceUrl;
            GetBetween(choiceUrl, QStringLiteral("href=\""), QStringLiteral("\""), GB_CUT_TEXT, choice);
            if (!choiceUrl.contains(QStringLiteral("http")))
                choiceUrl.prepend(QStringLiteral("http:"));
            req.strUrl = choiceUrl;
            QString choiceName = GetBetween(QStringLiteral("title=\""), QStringLiteral("\""), 0, choice);
            // A name starting at the root would be taken as an absolute
            // path: a page must never place pictures outside the album.
            while (choiceName.startsWith(u'/'))
                choiceName.remove(0, 1);

            QString page;
            if (album.strUrl.contains(choiceUrl)) {
                bMatched = true;
                page = state.strPageText;
                if (choiceUrl.size() < kShortestChoiceUrl)
                    continue;
            } else {
                if (i == choices.size() - 1 && !bMatched)
                    choices.append(QStringLiteral("< href=\"%1\" title=\"\"").arg(album.strUrl));
                if (choiceUrl.size() < kShortestChoiceUrl || !LoadPage(req, page))
                    continue;
            }

            const QStringList thumbs = ThumbnailList(page);
            for (qsizetype j = 1; j < thumbs.size(); ++j) {
                const QString url = ThumbnailUrl(thumbs[j]);
                if (url.isEmpty() || state.job.FindUrl(url) >= 0)
                    continue;
                const QString name = choiceName.isEmpty()
                                         ? QStringLiteral("主图_%1").arg(j)
                                         : QStringLiteral("%1_主图_%2").arg(choiceName, QString::number(j));
                AddPicture(state, host, url, name, QString(), albumIndex);
                if (StopCollecting(state, thumbs, j))
                    return false;
            }
        }
    } else {
        const QStringList thumbs = ThumbnailList(state.strPageText);
        for (qsizetype j = 1; j < thumbs.size(); ++j) {
            const QString url = ThumbnailUrl(thumbs[j]);
            if (url.isEmpty())
                continue;
            AddPicture(state, host, url, QStringLiteral("主图_%1").arg(j), QString(), albumIndex);
            if (StopCollecting(state, thumbs, j))
                return false;
        }
    }
    return true;
}

} // namespace

void ExtractProductPictures(CEngineState &state, IJobHost &host, int albumIndex)
{
    QString work = state.strPageText;
    CutAfter(QStringLiteral("id=\"summary-stock"), true, work);
    CutBefore(QStringLiteral("class=\"btn-append"), work);

    uint16_t flags = 0;
    {
        std::lock_guard lock(state.mtxSettings);
        flags = state.settings.arrNaming[state.SiteEntry()].wFlags;
    }
    if (!(flags & DescriptionPicturesOnly)) {
        const uint8_t desc = state.ext.bJdDescriptionPictures;
        if (desc != JD_DESC_ONLY && !CollectMainPictures(state, host, albumIndex, work))
            return;
        if ((desc == JD_DESC_AFTER_MAIN || desc == JD_DESC_ONLY) &&
            !AddDescriptionPictures(state, host, albumIndex))
            return;
    }
    if (state.job.Count() == 0)
        host.ShowMessage(flags & DescriptionPicturesOnly ? notice::DescriptionPicturesOnlyHint()
                                                         : notice::NoPictures());
}
