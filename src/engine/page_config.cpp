#include "engine/page_config.h"

#include <QCoreApplication>
#include <QJSEngine>
#include <QJSValue>
#include <QJSValueIterator>
#include <QLocale>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

QString TooLarge() { return QStringLiteral("商品配置脚本过大"); }
QString TimedOut() { return QStringLiteral("商品配置脚本运行超时"); }
QString Threw() { return QStringLiteral("商品配置脚本运行出错"); }
QString NotStarted() { return QStringLiteral("商品配置脚本无法运行"); }

// QJSEngine refuses to exist without an application object (qFatal), and the
// engine tests have none; the programs make theirs before any reader runs.
// The stand-in is never destroyed: at exit it would outlive Qt's own globals
// and crash in its destructor.
void EnsureApplication()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (QCoreApplication::instance())
            return;
        static int argc = 1;
        static char name[] = "ostrel";
        static char *argv[] = {name, nullptr};
        static const QCoreApplication *const app = new QCoreApplication(argc, argv);
        Q_UNUSED(app);
    });
}

// Interrupts the engine once the time limit has passed.  It also covers the
// reading of the result: getters and proxies run script there too.
class CScriptWatchdog
{
public:
    CScriptWatchdog(QJSEngine &engine, std::chrono::milliseconds limit)
        : thread_([this, &engine, limit] { Watch(engine, limit); })
    {
    }
    ~CScriptWatchdog() { Stop(); }
    CScriptWatchdog(const CScriptWatchdog &) = delete;
    CScriptWatchdog &operator=(const CScriptWatchdog &) = delete;

    void Stop()
    {
        {
            std::lock_guard lock(mtx_);
            stopped_ = true;
        }
        cv_.notify_one();
        if (thread_.joinable())
            thread_.join();
    }
    bool Fired() const { return fired_.load(); }

private:
    void Watch(QJSEngine &engine, std::chrono::milliseconds limit)
    {
        std::unique_lock lock(mtx_);
        if (cv_.wait_for(lock, limit, [this] { return stopped_; }))
            return;
        fired_.store(true);
        engine.setInterrupted(true);
    }

    std::mutex mtx_;
    std::condition_variable cv_;
    bool stopped_ = false; // guarded by mtx_
    std::atomic<bool> fired_{false};
    std::thread thread_; // last: it starts once the members above exist
};

// Numbers in full decimal: ids like 100012043978 would otherwise come out as 1.00012e+11.
QString TextOf(const QJSValue &value, bool numbers)
{
    if (value.isString())
        return value.toString();
    if (numbers && value.isNumber() && std::isfinite(value.toNumber()))
        return QString::number(value.toNumber(), 'f', QLocale::FloatingPointShortest);
    return {};
}

// Reading an array is our loop, not script the engine could interrupt, and a
// script can make one of four billion holes cheaply: the watchdog bounds it.
template <class Visit>
void ForEachElement(const QJSValue &list, const CScriptWatchdog &watchdog, Visit visit)
{
    if (!list.isArray())
        return;
    const quint32 length = list.property(QStringLiteral("length")).toUInt();
    for (quint32 i = 0; i < length && !watchdog.Fired(); ++i)
        visit(list.property(i));
}

void ReadColorSize(const QJSValue &entry, const CScriptWatchdog &watchdog, ST_PAGECONFIG &config)
{
    if (!entry.isObject() || entry.isArray())
        return;
    QString sku;
    QStringList values;
    for (QJSValueIterator it(entry); !watchdog.Fired() && it.hasNext();) {
        it.next();
        const QString text = TextOf(it.value(), true);
        if (it.name() == u"skuId")
            sku = text;
        else if (!text.isEmpty())
            values << text;
    }
    if (!sku.isEmpty())
        config.arrColorSize.emplace_back(sku, values.join(u' '));
}

void ReadProduct(const QJSValue &product, const CScriptWatchdog &watchdog, ST_PAGECONFIG &config)
{
    config.bFound = true;
    config.strName = TextOf(product.property(QStringLiteral("name")), false);
    config.strDesc = TextOf(product.property(QStringLiteral("desc")), false);
    config.strSkuId = TextOf(product.property(QStringLiteral("skuid")), true);
    config.strMainVideoId = TextOf(product.property(QStringLiteral("mainVideoId")), true);
    ForEachElement(product.property(QStringLiteral("imageList")), watchdog, [&](const QJSValue &v) {
        if (v.isString())
            config.arrImages << v.toString();
    });
    ForEachElement(product.property(QStringLiteral("colorSize")), watchdog,
                   [&](const QJSValue &v) { ReadColorSize(v, watchdog, config); });
}

bool IsObject(const QJSValue &value) { return value.isObject() && !value.isError(); }

// What page scripts around pageConfig touch, as plain values, so that
// `window.pageConfig = …` works and `location.href` reads do not throw.
void AddStandIns(QJSEngine &engine)
{
    QJSValue global = engine.globalObject();
    global.setProperty(QStringLiteral("window"), global);
    global.setProperty(QStringLiteral("document"), engine.newObject());
    QJSValue location = engine.newObject();
    location.setProperty(QStringLiteral("href"), QString());
    global.setProperty(QStringLiteral("location"), location);
    QJSValue navigator = engine.newObject();
    navigator.setProperty(QStringLiteral("userAgent"), QString());
    global.setProperty(QStringLiteral("navigator"), navigator);
}

ST_PAGECONFIG Failure(const QString &why)
{
    ST_PAGECONFIG config;
    config.strFailure = why;
    return config;
}

} // namespace

ST_PAGECONFIG ReadPageConfig(const QString &script, std::chrono::milliseconds timeLimit)
{
    if (script.size() > kMaxConfigScriptChars)
        return Failure(TooLarge());
    EnsureApplication();
    // Made and destroyed on this thread; the watchdog below is joined before it goes.
    QJSEngine engine;
    AddStandIns(engine);

    ST_PAGECONFIG config;
    bool threw = false;
    try {
        CScriptWatchdog watchdog(engine, timeLimit);
        QStringList trace; // filled only when the script threw
        engine.evaluate(script, QString(), 1, &trace);
        threw = !trace.isEmpty();
        const QJSValue pageConfig = engine.globalObject().property(QStringLiteral("pageConfig"));
        const QJSValue product =
            IsObject(pageConfig) ? pageConfig.property(QStringLiteral("product")) : QJSValue();
        if (IsObject(product))
            ReadProduct(product, watchdog, config);
        watchdog.Stop();
        // What an interrupted run left may be half built.
        if (watchdog.Fired())
            return Failure(TimedOut());
    } catch (const std::system_error &) {
        return Failure(NotStarted());
    }
    if (threw)
        config.strFailure = Threw();
    return config;
}
