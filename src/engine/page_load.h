#pragma once

#include <QString>

struct ST_URLREQUEST;

// A product page as the readers take it: the text with its entities
// decoded, and the page as served.
struct ST_LOADEDPAGE
{
    QString strText;
    QString strHtml;
    bool bLoginGate = false; // not loaded: the shop sent the request to its log-in page
};

// The shop's log-in host: a product page that redirects there is not followed.
inline constexpr char16_t kLoginHost[] = u"passport.jd.com";

// Fetches a product page and decodes it in the character set it names (GBK
// when it names none).  False when it could not be loaded; `reason` then
// says why.  A redirect to the log-in host is never followed.
bool LoadProductPage(const ST_URLREQUEST &req, ST_LOADEDPAGE &page, QString *reason = nullptr);
