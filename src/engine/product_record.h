#pragma once

// What the readers of a product page found, whatever its layout: one plain
// record.  The album builder (product_page.cpp) looks at nothing else.

#include <QString>
#include <QStringList>

#include <vector>

struct ST_PAGECHOICE
{
    QString strUrl;  // the choice's address ("http:" added to a scheme-relative one)
    QString strName; // colour or version name; may be empty
};

struct ST_PRODUCTPAGE
{
    QString strTitle;
    // Thumbnail addresses in strip order ("http:" added, not yet made large).
    // An empty entry is a thumbnail without an address: the numbering of the
    // pictures still counts it.
    QStringList arrThumbs;
    // Colour and version choices in page order, as the page gives them: the
    // builder decides which of them are product pages it may visit.
    std::vector<ST_PAGECHOICE> arrChoices;
    QString strDescUrl;     // description address, as written; empty when none
    QString strSkuId;       // the product configuration's skuid; empty when none
    QString strMainVideoId; // its mainVideoId; empty when none
    // Why a reader gave up on the page (a notice's reason); empty when none did.
    QString strFailure;
    // The shop answered with its check page instead of the product (its
    // risk control wants a script run or a person first).
    bool bCheckPage = false;

    // First thumbnail address, for the album cover; empty when there is none.
    QString CoverUrl() const
    {
        for (const QString &url : arrThumbs)
            if (!url.isEmpty())
                return url;
        return {};
    }
};
