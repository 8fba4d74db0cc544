#include "net/url_fetcher.h"

#include "net/cookie_store.h"
#include "net/curl_handle.h"
#include "net/fetch_reason.h"
#include "net/gunzip.h"
#include "net/markers.h"
#include "net/net_config.h"
#include "net/net_context.h"
#include "net/picture_sniff.h"
#include "util/part_file.h"
#include "net/post_body.h"

#include <QFile>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

const char *const kDefaultAgent =
    "User-Agent:Mozilla/5.0 (Windows NT 5.1) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/38.0.2125.104 Safari/537.36";
const char *const kIeAgent =
    "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1; Trident/4.0; SLCC2; .NET CLR 2.0.50727; "
    ".NET CLR 3.5.30729; .NET CLR 3.0.30729; .NET4.0C; .NET4.0E)";

namespace {
constexpr uint32_t kDefaultTimeoutMs = 20000;
constexpr long kMaxRedirects = 20;
// No real answer comes near this; an endless header block must not fill the memory.
constexpr qsizetype kMaxHeaderBytes = 1024 * 1024;

using Clock = std::chrono::steady_clock;

uint64_t KiB(int32_t n)
{
    return n > 0 ? uint64_t(n) * 1024 : 0;
}

// Leading blanks skipped, digits up to the first non-digit.
uint64_t ReadDecimal(const QByteArray &text, qsizetype pos)
{
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    uint64_t n = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const uint64_t digit = uint64_t(text[pos] - '0');
        if (n > (UINT64_MAX - digit) / 10)
            return UINT64_MAX;
        n = n * 10 + digit;
    }
    return n;
}

int StatusCode(const QByteArray &statusLine)
{
    // "HTTP/1.1 302 Found"
    const qsizetype sp = statusLine.indexOf(' ');
    return sp < 0 ? 0 : statusLine.mid(sp + 1, 3).toInt();
}

// The value of the first header of that name, trimmed; empty when none.
QByteArray HeaderValue(const QByteArray &rawHeaders, const QByteArray &name)
{
    for (const QByteArray &line : rawHeaders.split('\n'))
        if (line.size() > name.size() && line[name.size()] == ':'
            && qstrnicmp(line.constData(), name.constData(), name.size()) == 0)
            return line.mid(name.size() + 1).trimmed();
    return {};
}

// True when `location` leads to one of `hosts` or a host below one of them.
bool LeadsTo(const QByteArray &location, const QStringList &hosts)
{
    const QString host = QUrl(QString::fromLatin1(location)).host();
    for (const QString &h : hosts)
        if (!host.isEmpty() && (host == h || host.endsWith(u'.' + h)))
            return true;
    return false;
}

// State of one exchange, shared by the libcurl callbacks.
struct Exchange
{
    const ST_URLREQUEST &req;
    ST_URLRESPONSE &resp;
    CPostBody post;
    uint64_t minBytes;
    uint64_t maxBytes; // 0 = none

    QByteArray headerBytes; // the answer being received
    bool headersDone = false;
    bool endMarkHit = false;
    bool sawCookie = false;
    FetchFailure failure = FetchFailure::None; // set when a callback stops the transfer
    CPartFile part; // the save file while it is being received
    std::unique_ptr<CInflater> inflater; // a saved body sent compressed
    uint64_t written = 0;  // bytes of the saved body as written (inflated)
    QByteArray head;       // its first kSniffBytes
    bool htmlType = false; // the answer calls itself an HTML page

    Clock::time_point lastActivity = Clock::now();
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;

    bool rangeAsked = false; // the caller's headers ask for a part

    Exchange(const ST_URLREQUEST &r, ST_URLRESPONSE &s)
        : req(r), resp(s), post(r.pPostData), minBytes(KiB(r.nMinKB)), maxBytes(KiB(r.nMaxKB))
    {
    }

    bool Saving() const { return !req.strSavePath.isEmpty(); }
    bool Picture() const { return Saving() && req.bPicture; }
    bool CutWhileReading() const { return !resp.bGzip && !Saving(); }
    bool Aborted() const { return req.pAbort && req.pAbort->load(); }
    // Note the first reason a callback stops the transfer and give libcurl
    // the value that stops it (false from the header step, 0 from the body).
    bool Fail(FetchFailure f)
    {
        if (failure == FetchFailure::None)
            failure = f;
        return false;
    }
    size_t Stop(FetchFailure f)
    {
        Fail(f);
        return 0;
    }

    // End of one header block.  False stops the transfer (error status, size
    // out of bounds, a save file that cannot be made).
    bool HeadersEnded()
    {
        const qsizetype eol = headerBytes.indexOf('\n');
        const int code = StatusCode(headerBytes.left(eol));
        if (code >= 100 && code < 200)
            return true; // an interim answer; the real one follows
        const QByteArray location = code >= 300 && code < 400 ? HeaderValue(headerBytes, "Location") : QByteArray();
        if (!location.isEmpty()) {
            // Not followed: the address is the shop's answer, not a page to load.
            if (LeadsTo(location, req.arrLoginHosts)) {
                resp.nStatus = code;
                return Fail(FetchFailure::LoginRequired);
            }
            return true; // a redirect that libcurl follows
        }
        headersDone = true;
        resp.nStatus = code;
        resp.strRawHeaders = QString::fromLatin1(headerBytes);
        resp.bGzip = headerBytes.contains("gzip");
        // An error page is no picture and no product page.
        if (code >= 400)
            return Fail(FetchFailure::Status);
        if (Picture()) {
            // A redirect that names no address leads to no picture, and a
            // part of the body, unasked, is not the picture.
            if (code >= 300 || (code == 206 && !rangeAsked))
                return Fail(FetchFailure::BadAnswer);
            htmlType = HeaderValue(headerBytes, "Content-Type").toLower().startsWith("text/html");
            // Pages are inflated after the read; a saved body is inflated on
            // its way to the file, so the picture is stored as a picture.
            const QByteArray coding = HeaderValue(headerBytes, "Content-Encoding").toLower();
            if (coding.contains("gzip") || coding.contains("deflate"))
                inflater = std::make_unique<CInflater>();
        }
        qsizetype at = headerBytes.indexOf("Content-Length:");
        if (at < 0 && headerBytes.startsWith("HTTP/2"))
            at = headerBytes.indexOf("content-length:"); // HTTP/2 names are lower case
        if (at >= 0) {
            const uint64_t len = ReadDecimal(headerBytes, at + 15);
            if (len < minBytes || (maxBytes != 0 && len > maxBytes))
                return Fail(FetchFailure::OutOfSizeLimits);
            if (!Saving() && maxBytes == 0 && len > kMaxPageBytes)
                return Fail(FetchFailure::TooLarge);
        }
        if (Saving() && !part.IsOpen())
            return Fail(FetchFailure::FileNotWritten);
        return true;
    }

    static size_t OnHeader(char *data, size_t size, size_t n, void *user)
    {
        auto *x = static_cast<Exchange *>(user);
        const size_t len = size * n;
        const QByteArray line(data, qsizetype(len));
        x->lastActivity = Clock::now();
        if (line.startsWith("HTTP/")) {
            x->headerBytes.clear();
            x->headersDone = false;
        }
        x->headerBytes.append(line);
        if (x->headerBytes.size() > kMaxHeaderBytes)
            return 0;
        if (qstrnicmp(line.constData(), "Set-Cookie:", 11) == 0)
            x->sawCookie = true;
        if (line == "\r\n" || line == "\n")
            return x->HeadersEnded() ? len : 0;
        return len;
    }

    static size_t OnBody(char *data, size_t size, size_t n, void *user)
    {
        auto *x = static_cast<Exchange *>(user);
        const size_t len = size * n;
        x->lastActivity = Clock::now();
        uint64_t &received = x->resp.nBodyBytes;
        received += len;
        if (x->maxBytes != 0 && received > x->maxBytes)
            return x->Stop(FetchFailure::OutOfSizeLimits);
        if (x->Saving()) { // straight to the file: a picture is never held whole in memory
            if (!x->inflater)
                return x->Save(data, len) ? len : 0;
            const bool fed = x->inflater->Feed(data, len, [x](const char *p, size_t n) { return x->Save(p, n); });
            return fed ? len : x->Stop(FetchFailure::BadAnswer);
        }
        if (x->maxBytes == 0 && received > kMaxPageBytes)
            return x->Stop(FetchFailure::TooLarge);
        QByteArray &body = x->resp.body;
        body.append(data, qsizetype(len));
        if (x->CutWhileReading() && CutMarkers(body, x->resp.startMark, x->resp.endMark)) {
            x->endMarkHit = true;
            return 0; // the rest is not read
        }
        return len;
    }

    // One piece of a saved body, as it goes into the file.
    bool Save(const char *data, size_t len)
    {
        written += len;
        if (maxBytes != 0 && written > maxBytes)
            return Fail(FetchFailure::OutOfSizeLimits);
        if (head.size() < kSniffBytes)
            head.append(data, std::min<qsizetype>(qsizetype(len), kSniffBytes - head.size()));
        return part.Write(data, len) || Fail(FetchFailure::FileNotWritten);
    }

    static size_t OnReadPost(char *dst, size_t size, size_t n, void *user)
    {
        auto *x = static_cast<Exchange *>(user);
        x->lastActivity = Clock::now();
        return x->post.Next(dst, size * n);
    }

    static int OnSeekPost(void *user, curl_off_t offset, int origin)
    {
        auto *x = static_cast<Exchange *>(user);
        if (offset != 0 || origin != SEEK_SET)
            return CURL_SEEKFUNC_CANTSEEK;
        x->post.Rewind();
        return CURL_SEEKFUNC_OK;
    }

    // Time-outs per step: until the answer's headers are in, every step
    // (connect, send, each body write, waiting for the answer) may take
    // dwConnectTimeout without progress; after that each wait for body data
    // may take dwReadTimeout.
    Clock::duration Limit() const
    {
        return std::chrono::milliseconds(headersDone ? req.dwReadTimeout : req.dwConnectTimeout);
    }
    Clock::duration Left() const { return lastActivity + Limit() - Clock::now(); }

    // Notes progress of the transfer as libcurl counts it.
    static int OnProgress(void *user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow)
    {
        auto *x = static_cast<Exchange *>(user);
        if (x->Aborted())
            return 1;
        if (dlnow != x->lastDown || ulnow != x->lastUp) {
            x->lastDown = dlnow;
            x->lastUp = ulnow;
            x->lastActivity = Clock::now();
        }
        return 0;
    }
};

// Runs the transfer and ends it as soon as a step has waited longer than its
// limit (libcurl alone would notice only about once a second).
CURLcode RunTransfer(CNetContext &net, CURL *c, Exchange &x)
{
    return net.Perform(c, [&x]() -> long long {
        if (x.Aborted())
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(x.Left()).count();
        if (left < 0) {
            x.Fail(FetchFailure::TimedOut);
            return left;
        }
        // An abort is seen within a tenth of a second.
        return x.req.pAbort ? std::min<long long>(left, 100) : left;
    });
}

// The address as libcurl wants it: percent-encoded, scheme http or https.
QByteArray EncodedUrl(const QString &url)
{
    const QUrl u(url, QUrl::TolerantMode);
    if (!u.isValid() || u.host().isEmpty())
        return {};
    const QString scheme = u.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return {};
    return u.toEncoded();
}

bool HeaderGiven(const QList<QByteArray> &lines, const char *name)
{
    const qsizetype n = qstrlen(name);
    for (const QByteArray &l : lines)
        if (l.size() > n && (l[n] == ':' || l[n] == ';') && qstrnicmp(l.constData(), name, n) == 0)
            return true;
    return false;
}

// The request headers are the caller's lines and nothing of libcurl's own
// choosing except Host (and Content-Length for a body).  The caller's Cookie
// lines come back in `cookies`: libcurl puts them into the one Cookie header
// it sends with the store's cookies.
CurlSlistPtr BuildHeaders(const ST_URLREQUEST &req, bool hasBody, QByteArray &cookies, bool &rangeAsked)
{
    QList<QByteArray> lines;
    for (QByteArray line : req.strHeaders.toUtf8().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (HeaderGiven({line}, "Cookie")) {
            const QByteArray value = line.mid(7).trimmed();
            if (!value.isEmpty())
                cookies += (cookies.isEmpty() ? "" : "; ") + value;
            continue;
        }
        lines.append(line);
    }
    rangeAsked = HeaderGiven(lines, "Range");
    CurlSlistPtr list;
    for (const QByteArray &line : lines)
        AppendSlist(list, line.constData());
    if (!HeaderGiven(lines, "Accept"))
        AppendSlist(list, "Accept:");
    if (hasBody) {
        if (!HeaderGiven(lines, "Content-Type"))
            AppendSlist(list, "Content-Type:");
        if (!HeaderGiven(lines, "Expect"))
            AppendSlist(list, "Expect:");
    }
    return list;
}

// The pause after a failed attempt; an abort cuts it short.
void PauseUnlessAborted(const ST_URLREQUEST &req, Clock::duration pause)
{
    const auto until = Clock::now() + pause;
    for (auto now = Clock::now(); now < until && !(req.pAbort && req.pAbort->load()); now = Clock::now())
        std::this_thread::sleep_for(std::min<Clock::duration>(until - now, std::chrono::milliseconds(50)));
}

// The seconds over which the average speed must reach kMinBytesPerSec.
long LowSpeedSeconds(uint32_t readTimeoutMs)
{
    return std::max<long>(1, long((readTimeoutMs + 999) / 1000));
}

// The outcome of a finished transfer: None when it delivered a usable answer.
FetchFailure Outcome(CURL *c, CURLcode rc, Exchange &x)
{
    if (x.Aborted())
        return FetchFailure::Aborted;
    // A transfer stopped at the end marker is a complete one.
    if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && x.endMarkHit)) {
        if (x.failure != FetchFailure::None)
            return x.failure;
        long connectCode = 0;
        curl_easy_getinfo(c, CURLINFO_HTTP_CONNECTCODE, &connectCode);
        if (connectCode >= 300)
            return FetchFailure::ProxyRefused;
        // libcurl's own low-speed check ends the transfer as a time-out too.
        if (rc == CURLE_OPERATION_TIMEDOUT && x.headersDone)
            return FetchFailure::TooSlow;
        return FailureOfCurlCode(rc);
    }
    if (x.failure != FetchFailure::None)
        return x.failure;
    if (!x.headersDone)
        return FetchFailure::Other;
    const uint64_t got = x.resp.nBodyBytes;
    if (got < x.minBytes || (x.maxBytes != 0 && got > x.maxBytes))
        return FetchFailure::OutOfSizeLimits;
    if (x.Saving()) {
        if (x.inflater && !x.inflater->Ended())
            return FetchFailure::BadAnswer;
        if (got == 0 || got <= x.req.nMinBodyLen || x.written == 0)
            return FetchFailure::EmptyBody;
        // A server that calls a real picture a page is only wrong about the type.
        if (x.Picture() && (LooksLikePage(x.head) || (x.htmlType && !LooksLikePicture(x.head))))
            return FetchFailure::NotPicture;
        if (!x.part.Commit())
            return FetchFailure::FileNotWritten;
    }
    return FetchFailure::None;
}
} // namespace

void InitUrlRequest(ST_URLREQUEST &req, const QString &url, const QString &savePath,
                    uint32_t timeoutMs)
{
    req = ST_URLREQUEST{};
    req.strUrl = url;
    req.strVerb = QStringLiteral("GET");
    req.strSavePath = savePath;
    req.dwReadTimeout = timeoutMs;
    req.dwConnectTimeout = timeoutMs;
}

void ResetUrlRequest(ST_URLREQUEST &req)
{
    req.strUrl.clear();
    req.strHeaders.clear();
    req.startMark.clear();
    req.endMark.clear();
    req.strSavePath.clear();
    req.bPicture = false;
    req.strVerb = QStringLiteral("GET");
    req.dwReadTimeout = kDefaultTimeoutMs;
    req.dwConnectTimeout = kDefaultTimeoutMs;
    req.pPostData = QByteArray();
    req.nMinKB = 0;
    req.nMaxKB = 0;
}

void FreeUrlRequest(ST_URLREQUEST &req)
{
    ResetUrlRequest(req);
    req.strVerb = QString();
    req.failMark = QByteArray();
    req.strUrl.squeeze();
    req.strHeaders.squeeze();
    req.strSavePath.squeeze();
}

void InitUrlResponse(ST_URLRESPONSE &resp)
{
    resp = ST_URLRESPONSE{};
}

void FreeUrlResponse(ST_URLRESPONSE &resp)
{
    resp = ST_URLRESPONSE{};
}

bool FetchUrlOnce(ST_URLRESPONSE &resp, const ST_URLREQUEST &req, unsigned flags)
{
    resp.body.clear();
    resp.startMark = req.startMark;
    resp.endMark = req.endMark;
    resp.bGzip = false;
    resp.nStatus = 0;
    resp.nBodyBytes = 0;
    resp.strFailReason.clear();
    resp.failure = FetchFailure::None;

    const QByteArray url = EncodedUrl(req.strUrl);
    if (url.isEmpty()) {
        resp.failure = FetchFailure::BadUrl;
        resp.strFailReason = FetchFailureText(FetchFailure::BadUrl, 0);
        return false;
    }

    // A change the last throttled save left pending goes to disk now.
    CCookieStore::Instance().SaveIfDue();
    CNetContext &net = req.pNet ? *req.pNet : CNetContext::Default();
    const CNetHandle h(net);
    if (!h)
        return false;
    CURL *c = h.get();
    Exchange x(req, resp);

    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    // Parallel requests to one TLS host wait for its first connection and
    // become streams on it when it speaks HTTP/2.
    curl_easy_setopt(c, CURLOPT_PIPEWAIT, long(url.startsWith("https:")));
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, (flags & URLF_IE_AGENT) ? kIeAgent : kDefaultAgent);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
    // The body stays as the server sent it; we inflate ourselves where needed.
    curl_easy_setopt(c, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(c, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(req.dwConnectTimeout));
    // A trickle of bytes resets no step's time limit, but must not hold a run forever.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, kMinBytesPerSec);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, LowSpeedSeconds(req.dwReadTimeout));
    const QByteArray caFile = QFile::encodeName(TlsCaFile());
    if (!caFile.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());
    CCookieStore::Instance().Attach(c);

    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Exchange::OnHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &x);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Exchange::OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &x);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Exchange::OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &x);

    const QByteArray verb = req.strVerb.isEmpty() ? QByteArray("GET") : req.strVerb.toUtf8();
    const bool hasBody = x.post.Length() > 0 || verb == "POST";
    if (hasBody) {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(x.post.Length()));
        curl_easy_setopt(c, CURLOPT_READFUNCTION, &Exchange::OnReadPost);
        curl_easy_setopt(c, CURLOPT_READDATA, &x);
        curl_easy_setopt(c, CURLOPT_SEEKFUNCTION, &Exchange::OnSeekPost);
        curl_easy_setopt(c, CURLOPT_SEEKDATA, &x);
    } else if (verb == "HEAD") {
        curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    }
    if (verb != "GET" && verb != "POST" && verb != "HEAD")
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, verb.constData());
    else if (verb == "GET" && hasBody)
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "GET");
    QByteArray callerCookies;
    const CurlSlistPtr headers = BuildHeaders(req, hasBody, callerCookies, x.rangeAsked);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    if (!callerCookies.isEmpty())
        curl_easy_setopt(c, CURLOPT_COOKIE, callerCookies.constData());

    // Made here, on the caller's thread: creating a file can take the file
    // system a while, and the transfer thread serves every other picture.
    // A folder that takes no file fails the attempt once an answer is in.
    if (x.Saving())
        x.part.Open(req.strSavePath);
    const CURLcode rc = RunTransfer(net, c, x);
    if (x.sawCookie)
        CCookieStore::Instance().CookiesChanged();

    const FetchFailure failure = Outcome(c, rc, x);
    x.part.Discard(); // whatever was not committed
    if (failure == FetchFailure::None)
        return true;
    resp.failure = failure;
    resp.strFailReason = FetchFailureText(failure, resp.nStatus);
    return false;
}

bool FetchUrl(const ST_URLREQUEST &req, ST_URLRESPONSE &resp, unsigned flags)
{
    if (req.byAttempts == 0)
        return false;
    const auto aborted = [&req] { return req.pAbort && req.pAbort->load(); };
    for (unsigned attempt = 1;; ++attempt) {
        if (aborted()) {
            resp.failure = FetchFailure::Aborted;
            resp.strFailReason = FetchFailureText(FetchFailure::Aborted, 0);
            return false;
        }
        if (FetchUrlOnce(resp, req, flags)) {
            // A saved body was checked against nMinBodyLen before it was kept.
            if (!req.strSavePath.isEmpty())
                return true;
            if (req.nMinBodyLen == 0 && req.failMark.isEmpty())
                return true;
            QByteArray inflated;
            const bool inflate = (flags & URLF_CACHEABLE) && resp.bGzip;
            if (inflate)
                GunzipToString(resp.body.constData(), std::size_t(resp.body.size()), inflated);
            const QByteArray &checked = inflate ? inflated : resp.body;
            if (uint64_t(checked.size()) > req.nMinBodyLen
                && (req.failMark.isEmpty() || !checked.contains(req.failMark)))
                return true;
        }
        // Another attempt meets the same log-in gate.
        if (aborted() || resp.failure == FetchFailure::LoginRequired)
            return false;
        PauseUnlessAborted(req, std::chrono::seconds(req.byRetryDelaySec));
        if (attempt >= req.byAttempts || aborted())
            return false;
    }
}
