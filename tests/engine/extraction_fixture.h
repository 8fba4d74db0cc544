#pragma once

// An engine state whose requests all reach a local test shop, with the list
// job's page load and the start of an album's collection.

#include "engine/engine_fixture.h"
#include "engine/fake_shop.h"
#include "engine/product_page.h"
#include "engine/proxy_env.h"

#include <string>

inline const QString kProduct = QStringLiteral("http://item.jd.com/100.html");

class ExtractionFixture : public EngineFixture
{
protected:
    ExtractionFixture() : proxy(shopServer.ProxyUrl()) { state.ext.bJdPictureMethod = 1; }

    // Lists the product page that the shop serves as it stands.
    void ListServed()
    {
        AddProductAlbum(state, host, kProduct);
        ASSERT_EQ(state.albums.Count(), 1);
        StartAlbum(tmp.path() + QStringLiteral("/save/京东/"));
        state.DownloadJobState = JOB_RUNNING;
    }
    // Loads the page as the list job does and starts the album's collection.
    void ListAndStart(const std::string &html)
    {
        shopServer.PutPage(kProduct.toStdString(), html);
        ListServed();
    }
    // Same for a page served as UTF-8.
    void ListAndStartUtf8(const std::string &html)
    {
        PutUtf8(kProduct.toStdString(), html);
        ListServed();
    }
    void PutUtf8(const std::string &url, const std::string &body,
                 const std::string &contentType = "text/html; charset=utf-8")
    {
        shopServer.Put(url, {body, contentType, 200, 0});
    }

    FakeShop shopServer;
    ProxyEnv proxy;
};
