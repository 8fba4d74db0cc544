#pragma once

// Reads a product page with every reader there is: the classic markers
// first, then the HTML parser, then the product configuration script, each
// filling only what the ones before it left empty.

#include "engine/product_record.h"

// `text` is the page with its entities decoded (the kept page text), `html`
// the same page as served (empty: `text` stands for it), `pageUrl` its
// address: the choices of the newer layout are pages on its host.  The
// configuration script runs only when the page lacks something it holds, or
// for the description address (`bDescription`).
ST_PRODUCTPAGE ReadProductPage(const QString &text, const QString &html, const QString &pageUrl,
                               bool bDescription = false);

// True for the document title of one of the shop's check pages (risk
// control, slider, captcha).
bool IsCheckPageTitle(const QString &title);

// True for the address of a product page of the shop: item.jd.com/<digits>.html,
// or the same on item.jd.hk or npcitem.jd.hk, over http or https, no query.
bool IsProductPageUrl(const QString &url);
// The product number of such an address; empty for any other address.
QString ProductSku(const QString &url);

// A picture address as a page or its configuration writes it ("//host/…",
// "http(s)://…" or a bare path on the shop's picture host), "http:" added;
// empty when it is no picture address.
QString PictureAddress(const QString &raw);

// The page of product `sku` on the host of `pageUrl`, with its scheme.
QString ChoiceAddress(const QString &pageUrl, const QString &sku);
