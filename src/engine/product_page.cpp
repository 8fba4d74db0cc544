#include "engine/product_page.h"

#include "engine/bulk_texts.h"
#include "engine/choice_pages.h"
#include "engine/description_pictures.h"
#include "engine/engine_state.h"
#include "engine/job_host.h"
#include "engine/notices.h"
#include "engine/page_load.h"
#include "engine/page_reader.h"
#include "engine/page_source.h"
#include "engine/picture_naming.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace {

// One page the collection takes pictures from, in order.
struct ChoiceVisit
{
    QString strName;
    int nPage = -1; // index into the pages to load; -1: the kept product page
};

// The pages of the choices, in page order.  Only product pages are ever
// asked for: a choice area also links to the cart, reviews, lists and shops,
// and those requests carry the user's log-in cookies.  The product's own
// choice is the kept page; without one, the product comes last, unnamed.
std::vector<ChoiceVisit> PlanChoiceVisits(const std::vector<ST_PAGECHOICE> &choices, const QString &albumUrl,
                                          QStringList &urls)
{
    const QString albumSku = ProductSku(albumUrl);
    const QString albumHost = QUrl(albumUrl).host();
    std::vector<ChoiceVisit> visits;
    bool bMatched = false;
    for (const ST_PAGECHOICE &c : choices) {
        if (!IsProductPageUrl(c.strUrl))
            continue;
        QString name = c.strName;
        // A name starting at the root would be taken as an absolute path:
        // a page must never place pictures outside the album.
        while (name.startsWith(u'/'))
            name.remove(0, 1);
        const bool bOwn = albumUrl.contains(c.strUrl) ||
                          (!albumSku.isEmpty() && ProductSku(c.strUrl) == albumSku &&
                           QUrl(c.strUrl).host() == albumHost);
        if (bOwn) {
            bMatched = true;
            visits.push_back({name, -1});
        } else {
            visits.push_back({name, int(urls.size())});
            urls.append(c.strUrl);
        }
    }
    if (!bMatched)
        visits.push_back({QString(), -1});
    return visits;
}

// Hands the thumbnails of one page to AddPicture as main pictures 1, 2, …
// (a thumbnail without an address keeps its number).  False when a stop
// ended the collection.
bool AddThumbnails(CEngineState &state, IJobHost &host, int albumIndex, const QStringList &thumbs,
                   const QString &choiceName, bool bSkipHeld)
{
    for (qsizetype k = 0; k < thumbs.size(); ++k) {
        if (thumbs[k].isEmpty())
            continue;
        const QString url = LargePictureUrl(thumbs[k]);
        if (bSkipHeld && state.job.FindUrl(url) >= 0)
            continue;
        const QString number = QString::number(k + 1);
        const QString name = choiceName.isEmpty() ? QStringLiteral("主图_%1").arg(number)
                                                  : QStringLiteral("%1_主图_%2").arg(choiceName, number);
        AddPicture(state, host, url, name, QString(), albumIndex);
        if (StopCollecting(state, thumbs.size() - k))
            return false;
    }
    return true;
}

// The main pictures: those of every choice (JD picture method 1), else those
// of the product page alone.  False when a stop ended the collection.
bool CollectMainPictures(CEngineState &state, IJobHost &host, int albumIndex, const ST_PRODUCTPAGE &page,
                         const std::function<void()> &picturesReady, bool &bGated)
{
    if (page.arrChoices.empty() || state.ext.bJdPictureMethod != 1)
        return AddThumbnails(state, host, albumIndex, page.arrThumbs, QString(), false);

    QStringList urls;
    const std::vector<ChoiceVisit> visits =
        PlanChoiceVisits(page.arrChoices, state.albums.GetAlbum(albumIndex).strUrl, urls);
    CChoicePages pages(urls, &state.pics.bStopDownPic, ChosenPageSource(state));
    for (const ChoiceVisit &visit : visits) {
        std::optional<ST_PRODUCTPAGE> choicePage;
        if (visit.nPage < 0) {
            choicePage = page;
        } else {
            // Loading a long row of choices takes a while: say where it is.
            if (!state.pics.bDownPicBusy.load())
                host.SetStatus2(bulktext::ReadingChoicePage(visit.nPage + 1, int(urls.size())));
            choicePage = pages.Take(visit.nPage);
        }
        bGated = bGated || pages.Gated();
        if (!choicePage) {
            if (StopCollecting(state))
                return false;
            continue;
        }
        if (!AddThumbnails(state, host, albumIndex, choicePage->arrThumbs, visit.strName, true))
            return false;
        if (picturesReady)
            picturesReady();
    }
    return true;
}

} // namespace

QString LargePictureUrl(QString url)
{
    url.replace(QStringLiteral("/n5/"), QStringLiteral("/n12/"));
    url.replace(QStringLiteral("/n9/"), QStringLiteral("/n12/"));
    url.replace(QStringLiteral("/s75x75_jfs/"), QStringLiteral("/jfs/"));
    // Newer thumbnails carry other sizes, which "/n12/" alone leaves small.
    static const QRegularExpression directive(QStringLiteral(R"re(/s\d+x\d+_jfs/)re"));
    return url.replace(directive, QStringLiteral("/jfs/"));
}

void AddProductAlbum(CEngineState &state, IJobHost &host, const QString &address)
{
    ST_PAGESOURCE source = ChosenPageSource(state, &host);
    ST_LOADEDPAGE loaded;
    QString reason;
    ST_PRODUCTPAGE page;
    bool bLoaded = false;
    const auto load = [&] {
        bLoaded = LoadPageFrom(source, address, &state.bAbortList, loaded, &reason);
        page = bLoaded ? ReadProductPage(loaded.strText, loaded.strHtml, address) : ST_PRODUCTPAGE();
        return loaded.bLoginGate || page.bCheckPage;
    };
    // Behind the shop's log-in or check, the user may pass it in the log-in
    // browser (its cookies are ours); then the page is asked for once more,
    // as that browser shows it where there is one.
    if (load() && state.ListJobState.load() != LIST_STOP_REQUESTED && host.OfferShopLogin(address)) {
        if (state.pPageBrowser) {
            state.bGatePassedInBrowser = true;
            source = ChosenPageSource(state);
        }
        load();
    }
    if (!bLoaded || page.bCheckPage) {
        state.strPageText.clear(); // never taken for this address's page
        state.strPageHtml.clear();
        // Without this the user would only read "共0个" and not know why.
        if (state.ListJobState.load() != LIST_STOP_REQUESTED)
            host.ShowMessage(loaded.bLoginGate || page.bCheckPage ? notice::ShopGate()
                                                                   : notice::PageNotLoaded(reason));
        return;
    }
    if (page.strTitle.isEmpty()) {
        host.ShowMessage(page.strFailure.isEmpty() ? notice::NoProductTitle()
                                                   : notice::PageNotRead(page.strFailure));
        return;
    }
    state.strSiteFolder = QStringLiteral("京东");

    ST_PERLISTRECORD rec;
    rec.strName = page.strTitle;
    rec.strUrl = address;
    // For the thumbnail layout of the album list.
    rec.strCoverUrl = page.CoverUrl();
    rec.nPicCount = -1;
    rec.nAttrib = 0;
    if (state.StartupReady.load() == 1) {
        const int count = state.albums.AddAlbum(rec);
        host.AddAlbumRow(count - 1);
    }
    // After a stop the page is not kept; neither is the last product's page,
    // which a download would otherwise take for this album's.
    const bool bKeep = state.ListJobState.load() != LIST_STOP_REQUESTED;
    state.strPageText = bKeep ? loaded.strText : QString();
    state.strPageHtml = bKeep ? loaded.strHtml : QString();
}

void ExtractProductPictures(CEngineState &state, IJobHost &host, int albumIndex,
                            const std::function<void()> &picturesReady)
{
    uint16_t flags = 0;
    {
        std::lock_guard lock(state.mtxSettings);
        flags = state.settings.arrNaming[state.SiteEntry()].wFlags;
    }
    if (!(flags & DescriptionPicturesOnly)) {
        const uint8_t desc = state.ext.bJdDescriptionPictures;
        const bool bDescription = desc == JD_DESC_AFTER_MAIN || desc == JD_DESC_ONLY;
        const ST_PRODUCTPAGE page = ReadProductPage(state.strPageText, state.KeptPageHtml(),
                                                    state.albums.GetAlbum(albumIndex).strUrl, bDescription);
        bool bGated = false;
        if (desc != JD_DESC_ONLY && !CollectMainPictures(state, host, albumIndex, page, picturesReady, bGated))
            return;
        if (bDescription && !AddDescriptionPictures(state, host, albumIndex, page.strDescUrl))
            return;
        // Say why nothing came, rather than that the pages hold nothing.
        if (state.job.Count() == 0 && (bGated || !page.strFailure.isEmpty())) {
            state.albumRun.bGated = bGated;
            host.ShowMessage(bGated ? notice::ShopGate() : notice::PageNotRead(page.strFailure));
            return;
        }
    }
    if (state.job.Count() == 0)
        host.ShowMessage(flags & DescriptionPicturesOnly ? notice::DescriptionPicturesOnlyHint()
                                                         : notice::NoPictures());
}
