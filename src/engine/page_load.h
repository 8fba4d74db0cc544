#pragma once

#include <QString>

struct ST_URLREQUEST;

// A product page as the readers take it: the text with its entities
// decoded, and the page as served.
struct ST_LOADEDPAGE
{
    QString strText;
    QString strHtml;
};

// Fetches a product page and decodes it in the character set it names (GBK
// when it names none).  False when it could not be loaded; `reason` then
// says why.
bool LoadProductPage(const ST_URLREQUEST &req, ST_LOADEDPAGE &page, QString *reason = nullptr);
