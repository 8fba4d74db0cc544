#pragma once

// Product pages written from the markers the product page reader looks for.

#include <string>
#include <utility>
#include <vector>

namespace shop {

struct Choice
{
    std::string href;  // as it stands in the page
    std::string title; // colour or version name
};

// One thumbnail as it stands after "src=" (quotes included), followed by a space.
inline std::string Thumb(const std::string &src)
{
    return "<li><img width=\"50\" src=" + src + " alt=\"\"></li>\n";
}

inline std::string ProductPage(const std::string &title, const std::vector<Choice> &choices,
                               const std::vector<std::string> &thumbSrcs)
{
    std::string html = "<!DOCTYPE html>\n<html><head><title>" + title +
                       "-京东</title></head><body>\n"
                       "<div class=\"w\"><h1>not the product</h1></div>\n"
                       "<div id=\"product-intro\" class=\"clearfix\">\n"
                       "<div id=\"spec-list\"><ul class=\"spec-items lh\">\n";
    for (const std::string &src : thumbSrcs)
        html += Thumb(src);
    html += "</ul></div>\n<div class=\"sku-name\"><h1>" + title + "</h1></div>\n";
    html += "<div id=\"summary-stock\"><div id=\"choose-color\">\n";
    for (const Choice &c : choices)
        html += "<div class=\"item\" data-sku=\"1\"><b></b><a href=\"" + c.href + "\" title=\"" +
                c.title + "\"><img src=\"//img.jd.com/s40.jpg\">" + c.title + "</a></div>\n";
    html += "</div><a class=\"btn-append\" href=\"#\">加入购物车</a></div>\n</div></body></html>\n";
    return html;
}

// A product page of the newer layout: no "<h1>" in a product area, the title
// in <div class="sku-name"> and in the pageConfig script, choices in
// attribute rows that link to "#none", the description address in pageConfig.
struct ModernPage
{
    std::string skuName;    // inner HTML of <div class="sku-name">; empty: no such div
    std::string configName; // pageConfig name as written between its quotes
    std::string desc;       // pageConfig desc; empty: none
    std::vector<std::string> thumbs; // as after "src="
    std::vector<std::vector<std::pair<std::string, std::string>>> rows; // (data-sku, data-value)
    std::string imageList; // between the brackets of pageConfig imageList
    bool strip = true;     // false: no picture strip at all (drawn by script)

    std::string Html() const
    {
        std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>x</title>\n"
                           "<script>var pageConfig = {\n compatible: true,\n product: {\n  skuid: 100,\n"
                           "  skuMarkJson: {pop: false},\n  name: '" + configName + "',\n";
        if (!desc.empty())
            html += "  desc: '" + desc + "',\n";
        html += "  imageList: [" + imageList + "]\n }\n};</script></head><body>\n<div class=\"product-intro clearfix\">\n";
        if (strip) {
            html += "<div id=\"spec-list\"><div class=\"spec-items\"><ul class=\"lh\">\n";
            for (const std::string &src : thumbs)
                html += Thumb(src);
            html += "</ul></div></div>\n";
        }
        if (!skuName.empty())
            html += "<div class=\"sku-name\">\n" + skuName + "\n</div>\n";
        html += "<div id=\"choose-attrs\">\n";
        for (size_t r = 0; r < rows.size(); ++r) {
            html += "<div id=\"choose-attr-" + std::to_string(r + 1) + "\" class=\"li p-choose\"><div class=\"dd\">\n";
            for (const auto &[sku, value] : rows[r])
                html += "<div class=\"item  selected \" data-sku=\"" + sku + "\" data-value=\"" + value +
                        "\"><a href=\"#none\"><img src=\"//img.jd.com/n9/s40x40_jfs/c.jpg\" width=\"40\"><i>" + value +
                        "</i></a></div>\n";
            html += "</div></div>\n";
        }
        html += "</div>\n</div></body></html>\n";
        return html;
    }
};

// Picture bytes that start like a JPEG file.
inline std::string Jpeg(const std::string &tag, size_t size = 2048)
{
    std::string b = "\xFF\xD8\xFF\xE0" + tag;
    b.resize(std::max(size, b.size()), 'j');
    return b;
}

inline std::string Png(const std::string &tag, size_t size = 2048)
{
    std::string b = "\x89PNG\r\n\x1a\n" + tag;
    b.resize(std::max(size, b.size()), 'p');
    return b;
}

} // namespace shop
