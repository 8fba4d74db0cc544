#pragma once

// The classic product page read by its markers, on the page text with its
// entities decoded.  Fills only what the markers find.

#include "engine/product_record.h"

// Title: the text between "<h1>" and "</" after id="product-intro".
QString ClassicTitle(QString text);

// The thumbnails of the picture strip ("class=\"spec-items" up to "</ul>",
// split at "src="), element 0 being the text before the first one; empty
// when the page has no strip.
QStringList ThumbnailList(QString text);
// The address of one thumbnail text (scheme added, quotes removed), or empty
// when it has none.
QString ThumbnailAddress(const QString &thumb);

// The strip's thumbnail addresses (ST_PRODUCTPAGE::arrThumbs).
QStringList ClassicThumbnails(const QString &text);

// The choice area (after id="summary-stock", before class="btn-append") split
// at class="item": the address and the name of every element after the
// first.
std::vector<ST_PAGECHOICE> ClassicChoices(QString text);
