#pragma once

// Product pages of the shop's newer layout, where the classic markers of
// product_page.cpp find no title, no usable choice address and only small
// thumbnails.  Each piece acts only where the classic reading finds nothing.

#include <QString>
#include <QStringList>

// Title of a page without "<h1>" in its product area: the text of
// <div class="sku-name">, else the `name` of the product configuration
// script (pageConfig); empty when neither holds text.
QString ModernProductTitle(const QString &page);

// A string member of the product configuration (`product: { key: '…' }` in
// the pageConfig script), JavaScript escapes decoded; empty when missing.
QString PageConfigString(const QString &page, const QString &key);

// Choice elements of the newer attribute rows (id="choose-attr-…") link to
// "#none" and name their product in data-sku.  Each such element of the
// split choice list becomes a choice text the classic loop reads:
// < href="<album scheme and host>/<sku>.html" title="<data-value>">.
// A product named again by a later element is dropped.
void AdoptModernChoices(QStringList &choices, const QString &albumUrl);

// The pictures of the product configuration (`imageList: ['jfs/…', …]`) as
// picture strip entries ("src=" split pieces: quoted address, then a space),
// for pages whose strip is drawn by script; empty when the list is missing.
QStringList PageConfigThumbnails(const QString &page);

// "/s<W>x<H>_jfs/" → "/jfs/": the size directive of newer thumbnails.
QString DropSizeDirectives(QString url);

// First thumbnail address of the picture strip, for the album cover; empty
// when the page has none.
QString FirstThumbnailAddress(const QString &page);
