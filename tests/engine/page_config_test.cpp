// The product configuration read by running the page's script: the literal
// forms pages use, what a script that throws still gives, and scripts that
// would never end or grow without bound.

#include "engine/page_config.h"

#include <gtest/gtest.h>

#include <QtGlobal>

#include <array>
#include <atomic>
#include <chrono>
#include <ostream>
#include <thread>

// Readable failures instead of QString's bytes.
void PrintTo(const QString &text, std::ostream *os) { *os << text.toStdString(); }

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kShortLimit = 300ms;
constexpr auto kGenerous = 5s;
constexpr char kThrew[] = "商品配置脚本运行出错";
constexpr char kTimedOut[] = "商品配置脚本运行超时";

const char kTypical[] = R"(
var pageConfig = {
    compatible: true,
    product: {
        skuid: 100012043978,
        name: '\u534e\u4e3a Mate 60',   // a comment
        /* nested */ skuMarkJson: {pop: false, isxg: false},
        imageList: ["jfs/t1/a.jpg", 'jfs/t1/b.jpg',],
        colorSize: [{"skuId":100012043978,"颜色":"雅川青","版本":"12GB+512GB"},
                    {skuId: '100012043980', 版本: 256, 颜色: "白"},],
        desc: '//cd.jd.com/description/channel?skuId=100012043978&mainSkuId=100012043978',
        mainVideoId: '',
    },
};
try { pageConfig.product.x = window.location.href.indexOf('#') } catch (e) {}
)";

struct ReadCase
{
    const char *label;
    const char *script;
    ST_PAGECONFIG want;
};

const ReadCase kReadCases[] = {
    {"typical page", kTypical,
     {.bFound = true,
      .strName = QStringLiteral("华为 Mate 60"),
      .strDesc = QStringLiteral("//cd.jd.com/description/channel?skuId=100012043978&mainSkuId=100012043978"),
      .strSkuId = QStringLiteral("100012043978"),
      .arrImages = {QStringLiteral("jfs/t1/a.jpg"), QStringLiteral("jfs/t1/b.jpg")},
      .arrColorSize = {{QStringLiteral("100012043978"), QStringLiteral("雅川青 12GB+512GB")},
                       {QStringLiteral("100012043980"), QStringLiteral("256 白")}}}},
    {"window form", "window.pageConfig = {product: {skuid: 7, name: \"n\"}};",
     {.bFound = true, .strName = QStringLiteral("n"), .strSkuId = QStringLiteral("7")}},
    {"throws after setting it",
     "var pageConfig = {product: {name: 'n'}}; seajs.use('item'); pageConfig.product.name = 'late';",
     {.bFound = true, .strFailure = kThrew, .strName = QStringLiteral("n")}},
    {"odd values",
     "var pageConfig = {product: {name: 5, desc: {}, skuid: '12', mainVideoId: 2.5,"
     " imageList: ['a', 3, null, 'b'], colorSize: [{颜色: 'x'}, 'y', {skuId: 9, a: true, b: ''}]}};",
     {.bFound = true,
      .strSkuId = QStringLiteral("12"),
      .strMainVideoId = QStringLiteral("2.5"),
      .arrImages = {QStringLiteral("a"), QStringLiteral("b")},
      .arrColorSize = {{QStringLiteral("9"), QString()}}}},
    {"larger than 2^53", "var pageConfig = {product: {skuid: 1e21}};",
     {.bFound = true, .strSkuId = QStringLiteral("1000000000000000000000")}},
    {"no pageConfig", "var other = {product: {name: 'n'}}; $(function () {});",
     {.strFailure = kThrew}},
    {"no product", "var pageConfig = {product: 'n'};", {}},
    {"not a script", "var pageConfig = {product: {name: 'n'}", {.strFailure = kThrew}},
};

void ExpectRead(const ST_PAGECONFIG &got, const ST_PAGECONFIG &want)
{
    EXPECT_EQ(got.bFound, want.bFound);
    EXPECT_EQ(got.strFailure, want.strFailure);
    EXPECT_EQ(got.strName, want.strName);
    EXPECT_EQ(got.strDesc, want.strDesc);
    EXPECT_EQ(got.strSkuId, want.strSkuId);
    EXPECT_EQ(got.strMainVideoId, want.strMainVideoId);
    EXPECT_EQ(got.arrImages, want.arrImages);
    EXPECT_EQ(got.arrColorSize, want.arrColorSize);
}

std::atomic<int> g_qtMessages{0};

TEST(PageConfigTest, ReadsTheLiteralFormsPagesUse)
{
    // The engine must not talk on stderr for ordinary pages.
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &) { ++g_qtMessages; });
    for (const ReadCase &c : kReadCases) {
        SCOPED_TRACE(c.label);
        ExpectRead(ReadPageConfig(QString::fromUtf8(c.script)), c.want);
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_qtMessages.load(), 0);
}

struct HostileCase
{
    const char *label;
    QString script;
    const char *failure;
};

TEST(PageConfigTest, HostileScriptsEndInTime)
{
    const HostileCase cases[] = {
        {"endless for", QStringLiteral("var pageConfig = {product: {}}; for (;;) {}"), kTimedOut},
        {"endless while", QStringLiteral("while (true) {}"), kTimedOut},
        {"string doubling", QStringLiteral("var s = 'x'; for (;;) s += s;"), kTimedOut},
        {"recursion", QStringLiteral("function f() { return f() + 1; } f();"), kThrew},
        // Reading the result runs script too.
        {"getter that never returns", QStringLiteral("var pageConfig = {get product() { for (;;) {} }};"),
         kTimedOut},
        {"four billion holes", QStringLiteral("var pageConfig = {product: {imageList: new Array(4e9)}};"),
         kTimedOut},
        {"oversize", QString(kMaxConfigScriptChars + 1, u' '), "商品配置脚本过大"},
    };
    for (const HostileCase &c : cases) {
        SCOPED_TRACE(c.label);
        const auto start = Clock::now();
        const ST_PAGECONFIG got = ReadPageConfig(c.script, kShortLimit);
        EXPECT_LT(Clock::now() - start, kGenerous);
        EXPECT_EQ(got.strFailure, QString::fromUtf8(c.failure));
        EXPECT_FALSE(got.bFound);
    }
}

TEST(PageConfigTest, ReadersOnSeveralThreadsAtOnce)
{
    std::array<ST_PAGECONFIG, 4> typical;
    std::array<ST_PAGECONFIG, 4> endless;
    std::vector<std::thread> readers;
    for (size_t i = 0; i < typical.size(); ++i)
        readers.emplace_back([&, i] {
            endless[i] = ReadPageConfig(QStringLiteral("for (;;) {}"), kShortLimit);
            typical[i] = ReadPageConfig(QString::fromUtf8(kTypical));
        });
    for (std::thread &t : readers)
        t.join();
    for (size_t i = 0; i < typical.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectRead(typical[i], kReadCases[0].want);
        EXPECT_EQ(endless[i].strFailure, QString::fromUtf8(kTimedOut));
    }
}

} // namespace
