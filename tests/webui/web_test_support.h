#pragma once

// A log-in browser on a profile of its own, a cookie store in a file of its
// own, and a local site, for the log-in browser's tests.

#include "net/cookie_store.h"
#include "net/url_fetcher.h"
#include "webui/dlg_web_open.h"
#include "webui/web_login_profile.h"

#include "net/net_test_support.h"
#include "net/test_server.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

class WebLoginTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        profile = std::make_unique<CWebLoginProfile>(TempPath(QStringLiteral("browser")), store);
    }
    void TearDown() override
    {
        dialog.reset();
        profile.reset();
    }

    CDlgWebOpen &Open(const QString &address)
    {
        dialog = std::make_unique<CDlgWebOpen>(*profile);
        dialog->SetStartAddress(address);
        dialog->show();
        return *dialog;
    }
    static bool WaitLoaded(CDlgWebOpen &dlg, const std::function<void()> &start = {})
    {
        QSignalSpy loaded(dlg.Browser(), &QWebEngineView::loadFinished);
        if (start)
            start();
        return loaded.wait(30000) && loaded.first().first().toBool();
    }
    static bool WaitUntil(const std::function<bool()> &done)
    {
        for (int i = 0; i < 500 && !done(); ++i)
            QTest::qWait(20);
        return done();
    }
    bool StoreHas(const QByteArray &name) const
    {
        const QList<ST_COOKIE> all = store.CookieRecords();
        return std::any_of(all.begin(), all.end(), [&](const ST_COOKIE &c) { return c.name == name; });
    }
    static QByteArray Fetch(const std::string &url)
    {
        ST_URLREQUEST req;
        InitUrlRequest(req, QString::fromStdString(url), QString(), 20000);
        ST_URLRESPONSE resp;
        EXPECT_TRUE(FetchUrl(req, resp, 0)) << url;
        return resp.body;
    }

    CCookieStore &store = CCookieStore::Instance();
    std::unique_ptr<CWebLoginProfile> profile;
    std::unique_ptr<CDlgWebOpen> dialog;
};
