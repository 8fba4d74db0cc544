// Response bodies and raw headers of any content: decoding, inflation and
// the marker cuts never fail.  Input parts: flags byte + raw headers, body,
// start marker, end marker.

#include "fuzz_support.h"

#include "net/gunzip.h"
#include "net/markers.h"
#include "net/response_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = fuzz::Parts(data, size);
    auto part = [&](qsizetype i) { return i < parts.size() ? parts[i] : QByteArray(); };
    const QByteArray head = part(0);
    const unsigned flags = head.isEmpty() ? 0 : uchar(head[0]) & 0x3F;

    ST_URLRESPONSE resp;
    InitUrlResponse(resp);
    resp.strRawHeaders = QString::fromUtf8(head.mid(1));
    resp.bGzip = resp.strRawHeaders.contains(QLatin1String("gzip"));
    resp.body = part(1);
    resp.startMark = part(2);
    resp.endMark = part(3);
    const ST_URLRESPONSE before = resp;
    QString text = QStringLiteral("old");
    GetResponseText(resp, text, flags);
    FUZZ_CHECK(resp.body == before.body && resp.strRawHeaders == before.strRawHeaders);

    // The cap holds, what was there stays, and a smaller cap gives a prefix
    // of what a larger one gives.
    constexpr qsizetype kSmall = 1024;
    QByteArray small("x");
    const bool bSmallOk = GunzipToString(resp.body.constData(), size_t(resp.body.size()), small, kSmall);
    FUZZ_CHECK(small.startsWith('x') && small.size() <= 1 + kSmall);
    QByteArray big;
    const bool bBigOk = GunzipToString(resp.body.constData(), size_t(resp.body.size()), big, 64 * 1024 * 1024);
    FUZZ_CHECK(big.startsWith(small.mid(1)));
    if (bSmallOk)
        FUZZ_CHECK(bBigOk && big == small.mid(1));

    QByteArray cut = resp.body;
    CutMarkers(cut, resp.startMark, resp.endMark);
    FUZZ_CHECK(resp.body.contains(cut));

    (void)IsUtf8Text(resp.body.constData(), uint32_t(resp.body.size()), 0);
    return 0;
}
