#include "webui/web_page_reader.h"

#include "engine/page_load.h"
#include "engine/page_reader.h"
#include "util/text_utils.h"
#include "webui/web_login_profile.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include <chrono>
#include <condition_variable>

namespace {

// How long a loaded page without the product's configuration must stay quiet
// before it is taken: a script check reloads within this.
constexpr qint64 kQuietMs = 800;
constexpr int kProbeMs = 200;
// Past the cap: how long the page's last answer may take, and how much longer
// a caller waits for a GUI thread that is busy elsewhere.
constexpr int kLastAnswerMs = 3000;
constexpr auto kCallerGrace = std::chrono::seconds(5);
constexpr auto kAbortPoll = std::chrono::milliseconds(50);

const QString kLoginRequired = QStringLiteral("需要登录");
const QString kStopped = QStringLiteral("已停止");

QString TimedOut(uint32_t timeoutMs)
{
    return QStringLiteral("%1 秒内页面没有读完").arg(timeoutMs / 1000);
}

bool IsLoginHost(const QString &host)
{
    return host.compare(QString::fromUtf16(kLoginHost), Qt::CaseInsensitive) == 0;
}

// Whether the product is there, and what the document is.
const QString kProbeScript = QStringLiteral(R"js((function () {
  var product = false;
  try { product = typeof pageConfig === 'object' && pageConfig !== null && !!pageConfig.product; } catch (e) {}
  return [product, document.title, document.readyState];
})())js");

// The page as the browser holds it and the configuration the page built.
const QString kTakeScript = QStringLiteral(R"js((function () {
  var config = '';
  try { if (typeof pageConfig === 'object' && pageConfig !== null) config = JSON.stringify(pageConfig) || ''; } catch (e) {}
  var root = document.documentElement;
  return [root ? root.outerHTML : '', config, document.readyState];
})())js");

// Hosts whose addresses act on the user's account, cart or lists: a page
// the reader loads never reaches them, whatever its scripts ask.  The
// log-in page is a gate, not a page to load.
bool IsBlockedHost(const QString &host)
{
    static const char16_t *const blocked[] = {u"passport.jd.com", u"cart.jd.com",  u"order.jd.com",
                                             u"trade.jd.com",    u"home.jd.com",  u"i.jd.com",
                                             u"club.jd.com",     u"sclub.jd.com", u"list.jd.com",
                                             u"mall.jd.com",     u"shop.jd.com",  u"search.jd.com",
                                             u"follow.jd.com",   u"t.jd.com"};
    for (const char16_t *name : blocked) {
        const QString h = QString::fromUtf16(name);
        if (host.compare(h, Qt::CaseInsensitive) == 0 || host.endsWith(u'.' + h, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Stops requests to the hosts above; a page sent to the log-in host is gated.
class CGateInterceptor final : public QWebEngineUrlRequestInterceptor
{
public:
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QString host = info.requestUrl().host();
        if (!IsBlockedHost(host))
            return;
        info.block(true);
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame && IsLoginHost(host))
            bLoginGate = true;
    }
    std::atomic<bool> bLoginGate{false};
};

// A page that never goes where the interceptor blocks: a server redirect is
// a navigation of its own, stopped here before its request is made.
class CReaderPage final : public QWebEnginePage
{
public:
    CReaderPage(QWebEngineProfile *profile, CGateInterceptor &interceptor)
        : QWebEnginePage(profile), interceptor_(interceptor)
    {
        setUrlRequestInterceptor(&interceptor_);
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        if (!IsBlockedHost(url.host()))
            return true;
        if (isMainFrame && IsLoginHost(url.host()))
            interceptor_.bLoginGate = true;
        return false;
    }

private:
    CGateInterceptor &interceptor_;
};

// The configuration as a script the page reader runs, placed before the
// document (a parser puts it first in the head) so that it is the one read.
// "</" would end the script element; U+2028 and U+2029 would end an ES5
// string.
QString ConfigScript(QString json)
{
    json.replace(QStringLiteral("</"), QStringLiteral("<\\/"));
    json.replace(QChar(0x2028), QStringLiteral("\\u2028"));
    json.replace(QChar(0x2029), QStringLiteral("\\u2029"));
    return QStringLiteral("<script>var pageConfig = %1;</script>").arg(json);
}

} // namespace

struct CWebPageReader::Request
{
    QString url;
    uint32_t timeoutMs = 0;

    std::mutex mtx;
    std::condition_variable cv;
    bool bDone = false; // guarded by mtx, as are the results
    bool bOk = false;
    bool bLoginGate = false;
    QString html;
    QString reason;

    void Finish(bool ok, const QString &text, bool gate)
    {
        {
            std::lock_guard lock(mtx);
            if (bDone)
                return;
            bDone = true;
            bOk = ok;
            bLoginGate = gate;
            (ok ? html : reason) = text;
        }
        cv.notify_all();
    }
    bool Done()
    {
        std::lock_guard lock(mtx);
        return bDone;
    }
};

// One page being read, on the GUI thread.
class CWebPageReader::Load final : public QObject
{
public:
    Load(QWebEngineProfile *profile, std::shared_ptr<Request> request, std::function<void()> ended)
        : request_(std::move(request)), ended_(std::move(ended)),
          page_(std::make_unique<CReaderPage>(profile, interceptor_))
    {
        QWebEngineSettings *settings = page_->settings();
        settings->setAttribute(QWebEngineSettings::AutoLoadImages, false);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        page_->setAudioMuted(true);
        connect(page_.get(), &QWebEnginePage::loadingChanged, this, &Load::LoadingChanged);

        probe_.setInterval(kProbeMs);
        connect(&probe_, &QTimer::timeout, this, &Load::Probe);
        cap_.setSingleShot(true);
        connect(&cap_, &QTimer::timeout, this, [this] { Take(true); });
        probe_.start();
        cap_.start(int(std::min<uint32_t>(request_->timeoutMs, INT32_MAX)));
        page_->load(QUrl(request_->url));
    }
    ~Load() override
    {
        // The page goes before the interceptor it points at.
        page_.reset();
        request_->Finish(false, kStopped, false);
    }

    const std::shared_ptr<Request> &Req() const { return request_; }

private:
    void LoadingChanged(const QWebEngineLoadingInfo &info)
    {
        switch (info.status()) {
        case QWebEngineLoadingInfo::LoadStartedStatus:
            bLoaded_ = false;
            failure_.clear();
            break;
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            bLoaded_ = true;
            quiet_.start();
            break;
        case QWebEngineLoadingInfo::LoadFailedStatus:
            bLoaded_ = true;
            quiet_.start();
            failure_ = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain
                           ? QStringLiteral("HTTP %1").arg(info.errorCode())
                           : info.errorString();
            if (failure_.isEmpty())
                failure_ = QStringLiteral("无法打开页面");
            break;
        case QWebEngineLoadingInfo::LoadStoppedStatus:
            break;
        }
        if (interceptor_.bLoginGate)
            End(false, kLoginRequired, true);
    }

    void Probe()
    {
        if (bEnded_ || bTaking_)
            return;
        if (interceptor_.bLoginGate) {
            End(false, kLoginRequired, true);
            return;
        }
        page_->runJavaScript(kProbeScript, [this](const QVariant &v) {
            const QVariantList answer = v.toList();
            if (bEnded_ || bTaking_ || answer.size() < 3)
                return;
            if (answer[0].toBool() && failure_.isEmpty()) {
                Take(false);
                return;
            }
            if (!bLoaded_ || quiet_.elapsed() < kQuietMs || IsCheckPageTitle(answer[1].toString()))
                return;
            if (failure_.isEmpty())
                Take(false);
            else
                End(false, failure_, false);
        });
    }

    // At the cap a parsed document is taken as it stands (a check page that
    // never passed is then named by the reader); one still loading is not.
    void Take(bool bAtCap)
    {
        if (bEnded_ || (bTaking_ && !bAtCap))
            return;
        const QString timeout = TimedOut(request_->timeoutMs);
        if (bAtCap && !failure_.isEmpty()) {
            End(false, failure_, false);
            return;
        }
        bTaking_ = true;
        if (bAtCap)
            QTimer::singleShot(kLastAnswerMs, this, [this, timeout] { End(false, timeout, false); });
        page_->runJavaScript(kTakeScript, [this, bAtCap, timeout](const QVariant &v) {
            const QVariantList answer = v.toList();
            if (bEnded_ || answer.size() < 3)
                return;
            QString html = answer[0].toString();
            if (html.isEmpty() || (bAtCap && answer[2].toString() == QLatin1String("loading"))) {
                if (bAtCap)
                    End(false, timeout, false);
                else
                    bTaking_ = false;
                return;
            }
            const QString config = answer[1].toString();
            if (!config.isEmpty())
                html.prepend(ConfigScript(config));
            End(true, html, false);
        });
    }

    void End(bool ok, const QString &text, bool gate)
    {
        if (bEnded_)
            return;
        bEnded_ = true;
        probe_.stop();
        cap_.stop();
        request_->Finish(ok, text, gate);
        ended_();
    }

    std::shared_ptr<Request> request_;
    std::function<void()> ended_;
    CGateInterceptor interceptor_;
    std::unique_ptr<QWebEnginePage> page_;
    QTimer probe_;
    QTimer cap_;
    QElapsedTimer quiet_; // since the last load ended
    QString failure_;     // why the last load failed
    bool bLoaded_ = false;
    bool bTaking_ = false;
    bool bEnded_ = false;
};

CWebPageReader::CWebPageReader(std::function<CWebLoginProfile &()> profile, QObject *parent)
    : QObject(parent), profile_(std::move(profile))
{
}

CWebPageReader::~CWebPageReader() = default;

void CWebPageReader::Start(const std::shared_ptr<Request> &request)
{
    load_.reset();
    if (request->Done())
        return; // the caller gave up before the GUI thread came to it
    CWebLoginProfile &profile = profile_();
    // Cookies the fetcher got since (cookies.txt, earlier pages) go to the page.
    profile.DialogOpening();
    // The page ends from inside its own signals: it goes once they have returned.
    load_ = std::make_unique<Load>(profile.Profile(), request, [this, request] {
        QMetaObject::invokeMethod(this, [this, request] { Cancel(request); }, Qt::QueuedConnection);
    });
}

void CWebPageReader::Cancel(const std::shared_ptr<Request> &request)
{
    if (load_ && load_->Req() == request)
        load_.reset();
}

bool CWebPageReader::LoadPage(const QString &url, uint32_t timeoutMs, const std::atomic<bool> *pAbort,
                              ST_LOADEDPAGE &page, QString *reason)
{
    std::lock_guard one(mtxOne_);
    page = ST_LOADEDPAGE();
    auto request = std::make_shared<Request>();
    request->url = url;
    request->timeoutMs = timeoutMs;
    QMetaObject::invokeMethod(this, [this, request] { Start(request); }, Qt::QueuedConnection);

    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs) + kCallerGrace;
    const auto givenUp = [&] {
        return (pAbort && pAbort->load()) || std::chrono::steady_clock::now() >= limit;
    };
    if (QThread::currentThread() == thread()) {
        QEventLoop loop;
        QTimer tick;
        connect(&tick, &QTimer::timeout, &loop, [&] {
            if (request->Done() || givenUp())
                loop.quit();
        });
        tick.start(int(kAbortPoll.count()));
        loop.exec();
    } else {
        std::unique_lock lock(request->mtx);
        while (!request->bDone && !givenUp())
            request->cv.wait_for(lock, kAbortPoll);
    }
    if (!request->Done()) {
        request->Finish(false, pAbort && pAbort->load() ? kStopped : TimedOut(timeoutMs), false);
        QMetaObject::invokeMethod(this, [this, request] { Cancel(request); }, Qt::QueuedConnection);
    }
    std::lock_guard lock(request->mtx);
    page.bLoginGate = request->bLoginGate;
    if (!request->bOk) {
        if (reason)
            *reason = request->reason;
        return false;
    }
    page.strHtml = request->html;
    page.strText = page.strHtml;
    DecodeHtmlEntities(page.strText);
    return true;
}
