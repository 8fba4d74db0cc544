#pragma once

// Products numbered by their product number, for tests of several albums:
// product `sku` titled `title` with `n` pictures q<sku>_<i>.jpg.

#include "engine/fake_shop.h"
#include "engine/shop_pages.h"

#include <QString>

namespace shop {

inline QString ProductAddress(int sku)
{
    return QStringLiteral("http://item.jd.com/%1.html").arg(sku);
}

inline void PutNumberedProduct(FakeShop &server, int sku, const std::string &title, int n)
{
    std::vector<std::string> thumbs;
    for (int i = 1; i <= n; ++i) {
        const std::string pic = "q" + std::to_string(sku) + "_" + std::to_string(i);
        thumbs.push_back("'//img.jd.com/n5/" + pic + ".jpg'");
        server.PutPicture("http://img.jd.com/n12/" + pic + ".jpg", Jpeg(pic));
    }
    server.PutPage(ProductAddress(sku).toStdString(), ProductPage(title, {}, thumbs));
}

} // namespace shop
