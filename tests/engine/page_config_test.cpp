// The product configuration read by running the page's script: the literal
// forms pages use, what a script that throws still gives, and scripts that
// would never end or grow without bound.

#include "engine/page_config.h"

#include <gtest/gtest.h>

#include <QtGlobal>

#include <pthread.h>
#include <sys/resource.h>

#include <array>
#include <atomic>
#include <chrono>
#include <ostream>
#include <thread>

// Readable failures instead of QString's bytes.
void PrintTo(const QString &text, std::ostream *os) { *os << text.toStdString(); }

// ASan keeps up to 256 MB of freed memory by default, more than the heap
// itself ever holds: the peak read below would measure that instead.
extern "C" const char *__asan_default_options();
extern "C" const char *__asan_default_options() { return "quarantine_size_mb=16"; }

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kShortLimit = 300ms;
// What a run may take beyond its limit: the last stretch between two looks
// at the clock, unwinding, and freeing the heap, in a sanitizer build, on a
// machine that runs other tests beside it.  A run without a cap takes far
// longer.
constexpr auto kLittle = 2700ms;
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

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct HostileCase
{
    const char *label;
    QString script;
    const char *failure; // nullptr: stopped by the clock or by a refused allocation, whichever comes first
};

TEST(PageConfigTest, HostileScriptsEndInTimeAndWithinMemory)
{
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer instruments every byte a huge string copy touches and
    // shadows each with more: time and memory mean nothing there.  The
    // ASan+UBSan build checks them.
    GTEST_SKIP();
#endif
    const HostileCase cases[] = {
        {"endless for", QStringLiteral("var pageConfig = {product: {}}; for (;;) {}"), kTimedOut},
        {"endless while", QStringLiteral("while (true) {}"), kTimedOut},
        {"catches the stop", QStringLiteral("for (;;) { try { for (;;) {} } catch (e) {} }"), kTimedOut},
        {"string doubling", QStringLiteral("var s = 'x'; for (;;) s += s;"), nullptr},
        {"huge repeat", QStringLiteral("'x'.repeat(Math.pow(2, 30));"), kThrew},
        // Duktape has no Array.prototype.fill: a TypeError.
        {"huge filled array", QStringLiteral("new Array(1e8).fill(1);"), kThrew},
        {"huge array filled by hand",
         QStringLiteral("(function () { var a = new Array(1e8); for (var i = 0; i < 1e8; i++) a[i] = i; })();"),
         nullptr},
        {"self-growing JSON",
         QStringLiteral("function G(d) { this.d = d; }"
                        "G.prototype.toJSON = function () { var a = [];"
                        " for (var i = 0; i < 1000; i++) a.push(this.d < 3 ? new G(this.d + 1) : 'leaf');"
                        " return a; };"
                        "JSON.stringify(new G(0));"),
         nullptr},
        {"recursion", QStringLiteral("function f() { return f() + 1; } f();"), kThrew},
        {"recursion through natives", QStringLiteral("function f() { return [0].map(f); } f();"), kThrew},
        {"nesting past the compiler", QString(100000, u'['), kThrew},
        {"nesting past JSON", QStringLiteral("var s = '['; for (var i = 0; i < 17; i++) s += s; JSON.parse(s);"), kThrew},
        {"backtracking", QStringLiteral("/(a+)+b/.test('aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa');"), kTimedOut},
        // Reading the result runs script too.
        {"getter that never returns", QStringLiteral("var pageConfig = {get product() { for (;;) {} }};"),
         kTimedOut},
        {"four billion holes", QStringLiteral("var pageConfig = {product: {imageList: new Array(4e9)}};"),
         kTimedOut},
        {"oversize", QString(kMaxConfigScriptChars + 1, u' '), "商品配置脚本过大"},
    };
    const long before = PeakKilobytes();
    for (const HostileCase &c : cases) {
        SCOPED_TRACE(c.label);
        const auto start = Clock::now();
        const ST_PAGECONFIG got = ReadPageConfig(c.script, kShortLimit);
        EXPECT_LT(Clock::now() - start, kShortLimit + kLittle);
        if (c.failure)
            EXPECT_EQ(got.strFailure, QString::fromUtf8(c.failure));
        else
            EXPECT_TRUE(got.strFailure == QString::fromUtf8(kTimedOut) || got.strFailure == QString::fromUtf8(kThrew))
                << got.strFailure.toStdString();
        EXPECT_FALSE(got.bFound);
    }
    EXPECT_LT(PeakKilobytes() - before, 200 * 1024);
}

// One long string named many times: what is copied out stays bounded.
TEST(PageConfigTest, ReadingCopiesOutABoundedAmount)
{
    const ST_PAGECONFIG got = ReadPageConfig(QStringLiteral(
        "var big = 'x', list = [];"
        "(function () {"
        "    for (var i = 0; i < 20; i++) big += big;"
        "    for (var i = 0; i < 10000; i++) list.push(i % 2 ? big : 'jfs/t1/a.jpg');"
        "})();"
        "var pageConfig = {product: {name: big, imageList: list}};"));
    EXPECT_TRUE(got.bFound);
    EXPECT_TRUE(got.strFailure.isEmpty());
    EXPECT_EQ(got.strName.size(), 1 << 20);
    EXPECT_GE(got.arrImages.size(), 1);
    EXPECT_LT(got.arrImages.size(), 10);
}

// Deep nesting ends in an error, not a crash, on a thread with a small stack too.
TEST(PageConfigTest, DeepNestingOnASmallStack)
{
    static const char *const scripts[] = {
        "function f() { return [0].map(f); } f();",
        "eval(new Array(3000).join('(function () { return '));",
        "function f(n) { return n ? [n - 1].map(f) : eval(new Array(3000).join('[')); } f(900);",
        "JSON.parse(new Array(100000).join('['));",
        "/(((((((((((((((((((((a)))))))))))))))))))))*/.exec(new Array(100000).join('a'));",
    };
    static std::array<ST_PAGECONFIG, std::size(scripts)> got;
    pthread_attr_t attr;
    ASSERT_EQ(pthread_attr_init(&attr), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, 256 << 10), 0);
    pthread_t reader;
    ASSERT_EQ(pthread_create(&reader, &attr,
                             [](void *) -> void * {
                                 for (size_t i = 0; i < std::size(scripts); ++i)
                                     got[i] = ReadPageConfig(QString::fromUtf8(scripts[i]));
                                 return nullptr;
                             },
                             nullptr),
              0);
    pthread_join(reader, nullptr);
    pthread_attr_destroy(&attr);
    for (size_t i = 0; i < std::size(scripts); ++i) {
        SCOPED_TRACE(scripts[i]);
        EXPECT_EQ(got[i].strFailure, QString::fromUtf8(kThrew));
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
