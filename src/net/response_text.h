#pragma once

#include "net/url_fetcher.h"

#include <QString>

#include <cstdint>

// Flags of GetResponseText (fixed bit values; the extension settings store
// the character-set words as these numbers).
enum : unsigned {
    TXTF_GUNZIP = 0x01,  // inflate the body when the response is gzip
    TXTF_UTF8 = 0x02,    // code page 65001
    TXTF_EUCKR = 0x04,   // code page 51949
    TXTF_BIG5 = 0x08,    // code page 950
    TXTF_AUTO = 0x10,    // UTF-8 when IsUtf8Text accepts the bytes, else ANSI (GBK)
    TXTF_GBK_NUL = 0x20, // on pages announced as GBK, keep the text after zero bytes
    TXTF_CHARSET = 0x40, // the character set the answer names (response_charset.h), else the flags
    TXTF_KEEP_ENTITIES = 0x80, // leave HTML entities as they are (JSON answers)
};

// Turns a fetched body into wide text: inflation, the marker cuts skipped
// while reading a compressed body, the character set, HTML entities.
// The response is not changed; out is replaced as a whole.
void GetResponseText(const ST_URLRESPONSE &resp, QString &out, unsigned flags);

// Loose UTF-8 test: every sequence complete, at least one non-ASCII byte.
// Pure ASCII counts as not UTF-8.  The length comes as two 32-bit halves.
bool IsUtf8Text(const char *bytes, uint32_t lengthLow, uint32_t lengthHigh);
