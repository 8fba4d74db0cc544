#pragma once

#include "net/fetch_reason.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

class CNetContext;

// Flags of FetchUrl and FetchUrlOnce.  Callers pass them as numbers, so the
// bit values never change.
enum : unsigned {
    URLF_CACHEABLE = 0x01, // FetchUrl inflates a gzip body before its content checks
    URLF_NO_RELOAD = 0x02, // kept for the callers; there is no HTTP cache here
    URLF_IE_AGENT = 0x40,  // send the old MSIE agent string instead of the default one
};

// The two agent strings.  The default one really begins with "User-Agent:" and
// goes out whole as the agent value.
extern const char *const kDefaultAgent;
extern const char *const kIeAgent;

// One HTTP request.  Owned by the caller, reusable for several FetchUrl calls.
struct ST_URLREQUEST
{
    QString strUrl;          // absolute "http://" or "https://" address
    QString strVerb;         // "GET" unless changed
    QString strHeaders;      // extra header lines, CR LF separated, no final CR LF
    QByteArray startMark;    // body keeps what follows the last occurrence
    QByteArray endMark;      // body is cut at the first occurrence and reading stops
    QByteArray failMark;     // FetchUrl: an attempt whose body holds this failed
    QString strSavePath;     // when not empty the body goes to this file instead of `body`:
                             // through a temporary file renamed onto it once complete
    bool bPicture = false;   // with strSavePath: the body must be a picture (see FetchUrlOnce)
    QByteArray pPostData;    // request body; null = none; sent up to its first NUL byte
    uint32_t dwReadTimeout = 20000;    // ms without body data before the attempt fails
    uint32_t dwConnectTimeout = 20000; // ms for connect, send, each body write and the answer
    int32_t nMinKB = 0;      // minimum size in KiB of Content-Length and body; 0 = none
    int32_t nMaxKB = 0;      // maximum size in KiB; 0 = none
    uint32_t nMinBodyLen = 0; // FetchUrl: the (inflated) body must be longer than this
    uint8_t byAttempts = 1;   // attempts of FetchUrl; 0 fails at once
    uint8_t byRetryDelaySec = 1; // pause after each failed attempt
    CNetContext *pNet = nullptr; // keeps the connections; null = CNetContext::Default()
    // Not owned.  When it becomes true the running exchange ends at once as a
    // failed attempt, with no further attempts or pauses.
    const std::atomic<bool> *pAbort = nullptr;
    // A redirect to one of these hosts (or a host below one) is not followed:
    // the exchange fails as FetchFailure::LoginRequired.
    QStringList arrLoginHosts;
};

// A page (no save path, no maximum size) longer than this is a failed load.
inline constexpr uint64_t kMaxPageBytes = 32ull * 1024 * 1024;
// A transfer slower than this on average over its read time-out fails as a time-out.
inline constexpr long kMinBytesPerSec = 1024;

// The result of one exchange (the last attempt of FetchUrl).
struct ST_URLRESPONSE
{
    QString strRawHeaders; // status line and headers, CR LF separated, of the final answer
    QByteArray body;       // the bytes as received, after the marker cuts
    QByteArray startMark;  // copies of the request's markers, taken per attempt
    QByteArray endMark;
    bool bGzip = false;    // the raw header text contains "gzip"
    int nStatus = 0;       // status code of the final answer, 0 when none came
    uint64_t nBodyBytes = 0; // body bytes received (also those written to the save file)
    // Why the last attempt failed, for the user ("HTTP 404", "连接超时" ...);
    // empty after a success.  Never holds cookies or body text.
    QString strFailReason;
    FetchFailure failure = FetchFailure::None; // the same, as a value
};

// Builds a request: both time-outs take timeoutMs (callers pass 20000).
void InitUrlRequest(ST_URLREQUEST &req, const QString &url, const QString &savePath,
                    uint32_t timeoutMs);
// Empties address, headers, markers and save path, verb "GET", both time-outs
// 20000, no post data, no size limits.  failMark, nMinBodyLen, byAttempts,
// byRetryDelaySec and pNet stay as they are.
void ResetUrlRequest(ST_URLREQUEST &req);
// ResetUrlRequest, then releases every string.
void FreeUrlRequest(ST_URLREQUEST &req);

void InitUrlResponse(ST_URLRESPONSE &resp);
void FreeUrlResponse(ST_URLRESPONSE &resp);

// One complete exchange.  True when the answer arrived within the time-outs
// and the size limits with a status below 400 and, for a save path, a
// non-empty body that reached its file.  With bPicture a redirect without an
// address, a part (206) that the caller did not ask for and an HTML page (by
// its first bytes, or by its type unless the bytes are a picture's) fail; a
// compressed body is stored inflated, and a broken one fails.
bool FetchUrlOnce(ST_URLRESPONSE &resp, const ST_URLREQUEST &req, unsigned flags);

// Up to byAttempts exchanges with the content checks (nMinBodyLen, failMark)
// and a pause of byRetryDelaySec after each failed one.  With a save path the
// body is not kept: only nMinBodyLen applies, on the byte count.  The response holds
// the last attempt either way.  Safe to call from many threads at once.
bool FetchUrl(const ST_URLREQUEST &req, ST_URLRESPONSE &resp, unsigned flags);
