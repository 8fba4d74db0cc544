#pragma once

// The product page read as HTML (an HTML5 parser, so quoting, case and line
// breaks of the markup do not matter): the parts the newer layouts keep in
// elements the classic markers do not fit.

#include <QString>
#include <QStringList>

#include <vector>

struct ST_HTMLCHOICE
{
    QString strSku;  // data-sku: the product the choice stands for (digits)
    QString strName; // data-value, else the item's text, white space simplified
};

struct ST_HTMLPAGE
{
    QString strTitle;       // text of the first class="sku-name" element, white space simplified
    QString strDocTitle;    // text of the document's <title>, white space simplified
    // One entry per <img> of the strip in document order: its src, else its
    // data-url, as written (trimmed); empty when it has neither.
    QStringList arrThumbs;
    // [data-sku] items of the attribute rows (id="choose-attr-…"), in page
    // order, each product once (its first item names it).
    std::vector<ST_HTMLCHOICE> arrChoices;
    // Text of the first inline <script> that mentions pageConfig; empty when none.
    QString strConfigScript;
};

// One parse of the page.  Never fails: a page that is not HTML gives an empty record.
ST_HTMLPAGE ReadHtmlPage(const QString &html);

// The pictures of description HTML in document order, as written (trimmed,
// not resolved): each <img>'s data-lazyload, else its src; the data-lazyload
// of any other element; the url() of background declarations in style
// attributes and <style> elements.
QStringList ReadHtmlPictureRefs(const QString &html);
