// Product pages read in the front end's browser: when the user chose it, or
// after the user passed the shop's gate there; one page at a time; and a
// choice of the browser without one falls back to the fetcher and says so.

#include "engine/bulk_list.h"
#include "engine/extraction_fixture.h"
#include "engine/notices.h"
#include "engine/page_browser.h"
#include "engine/page_load.h"
#include "engine/shop_pages.h"

#include <QFileInfo>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>

namespace {

using shop::ProductPage;

// Serves pages from a table, a little slowly, and counts loads at once.
class FakeBrowser final : public IPageBrowser
{
public:
    bool LoadPage(const QString &url, uint32_t, const std::atomic<bool> *, ST_LOADEDPAGE &page, QString *) override
    {
        const int now = ++m_busy;
        int seen = m_maxBusy.load();
        while (now > seen && !m_maxBusy.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        --m_busy;
        std::lock_guard lock(m_mtx);
        m_asked << url;
        const auto it = m_pages.find(url);
        if (it == m_pages.end())
            return false;
        page.strHtml = page.strText = QString::fromStdString(it->second);
        return true;
    }
    void Put(const QString &url, const std::string &html)
    {
        std::lock_guard lock(m_mtx);
        m_pages[url] = html;
    }
    QStringList Asked()
    {
        std::lock_guard lock(m_mtx);
        return m_asked;
    }
    int MaxBusy() const { return m_maxBusy.load(); }

private:
    std::mutex m_mtx;
    std::map<QString, std::string> m_pages;
    QStringList m_asked;
    std::atomic<int> m_busy{0};
    std::atomic<int> m_maxBusy{0};
};

class PageSourceTest : public ExtractionFixture
{
protected:
    void PutChoices(bool bInBrowser)
    {
        const std::vector<shop::Choice> choices = {{"//item.jd.com/100.html", "红"},
                                                   {"//item.jd.com/200.html", "蓝"},
                                                   {"//item.jd.com/300.html", "绿"}};
        for (const int sku : {100, 200, 300}) {
            const std::string url = "http://item.jd.com/" + std::to_string(sku) + ".html";
            const std::string html = ProductPage("杯子", choices, {"'//img.jd.com/n5/" + std::to_string(sku) + ".jpg'"});
            if (bInBrowser)
                browser.Put(QString::fromStdString(url), html);
            else
                shopServer.PutPage(url, html);
        }
    }
    QStringList Collected()
    {
        QStringList names;
        for (int i = 0; i < state.job.Count(); ++i)
            names << QFileInfo(state.job.Entry(i).strPath).completeBaseName();
        return names;
    }

    FakeBrowser browser;
};

TEST_F(PageSourceTest, ChosenBrowserReadsTheProductAndEveryChoiceOneAtATime)
{
    state.pPageBrowser = &browser;
    state.run.bBrowserPages = true;
    PutChoices(true);
    ListServed();
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(Collected(), QStringList({"红_主图_1", "蓝_主图_1", "绿_主图_1"}));
    EXPECT_EQ(browser.Asked().size(), 3);
    EXPECT_EQ(browser.MaxBusy(), 1);
    EXPECT_EQ(shopServer.CountStartingWith("http://item.jd.com"), 0);
    EXPECT_TRUE(host.Messages().isEmpty());
}

TEST_F(PageSourceTest, ChosenBrowserReadsAListOfSeveralProductsOneAtATime)
{
    state.pPageBrowser = &browser;
    state.run.bBrowserPages = true;
    PutChoices(true);
    AddProductAlbums(state, host, {QStringLiteral("http://item.jd.com/200.html"), QStringLiteral("http://item.jd.com/300.html")});
    EXPECT_EQ(state.albums.Count(), 2);
    EXPECT_EQ(browser.MaxBusy(), 1);
    EXPECT_EQ(shopServer.CountStartingWith("http://item.jd.com"), 0);
}

TEST_F(PageSourceTest, ChosenBrowserWithoutOneFetchesAndSaysSoOnce)
{
    state.run.bBrowserPages = true;
    PutChoices(false);
    ListServed();
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(Collected(), QStringList({"红_主图_1", "蓝_主图_1", "绿_主图_1"}));
    EXPECT_EQ(host.Messages(), QStringList{notice::NoPageBrowser()});
}

TEST_F(PageSourceTest, GatePassedInTheLogInBrowserReadsThePagesThereFromThenOn)
{
    state.pPageBrowser = &browser;
    PutChoices(true);
    // Plain requests keep meeting the check page.
    for (const char *url : {"http://item.jd.com/100.html", "http://item.jd.com/200.html", "http://item.jd.com/300.html"})
        shopServer.PutPage(url, "<html><head><title>京东验证</title></head><body></body></html>");
    host.offerShopLogin = [](const QString &) { return true; };
    ListServed();
    ExtractProductPictures(state, host, 0);
    EXPECT_EQ(Collected(), QStringList({"红_主图_1", "蓝_主图_1", "绿_主图_1"}));
    EXPECT_EQ(shopServer.Count("http://item.jd.com/100.html"), 1);
    EXPECT_EQ(shopServer.Count("http://item.jd.com/200.html"), 0);
    EXPECT_TRUE(host.Messages().isEmpty());
}

} // namespace
