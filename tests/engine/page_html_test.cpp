// The product page read as HTML: markup variants of the title, the picture
// strip, the choices and the pageConfig script, and pages meant to hurt.

#include "engine/page_html.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>

namespace {

using namespace std::string_literals;

// The whole record on one line, so a failure shows every field at once.
std::string Describe(const ST_HTMLPAGE &page)
{
    QStringList parts;
    if (!page.strTitle.isEmpty())
        parts << QStringLiteral("title=") + page.strTitle;
    if (!page.arrThumbs.isEmpty())
        parts << QStringLiteral("strip=") + page.arrThumbs.join(u'|');
    QStringList choices;
    for (const ST_HTMLCHOICE &choice : page.arrChoices)
        choices << choice.strSku + u':' + choice.strName;
    if (!choices.isEmpty())
        parts << QStringLiteral("choices=") + choices.join(u',');
    if (!page.strConfigScript.isEmpty())
        parts << QStringLiteral("script=") + page.strConfigScript;
    return parts.join(QStringLiteral("; ")).toStdString();
}

struct ST_CASE
{
    const char *what;
    std::string html;
    std::string want; // Describe() of the record
};

void Check(std::span<const ST_CASE> cases)
{
    for (const ST_CASE &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Describe(ReadHtmlPage(QString::fromStdString(c.html))), c.want);
    }
}

TEST(PageHtmlTest, Strip)
{
    const ST_CASE cases[] = {
        {"double quotes", R"(<img src="x.jpg"><div id="spec-list"><img src="a.jpg"></div>)",
         "strip=a.jpg"},
        {"single quotes", "<div id='spec-list'><img src='a.jpg'></div>", "strip=a.jpg"},
        {"no quotes", "<div id=spec-list><img src=a.jpg></div>", "strip=a.jpg"},
        {"attributes over lines", "<div\n class=\"w\"\n id=\"spec-list\"\n><img\n alt=\"\"\n src=\n\"a.jpg\"></div>",
         "strip=a.jpg"},
        {"upper case", R"(<DIV ID="spec-list"><IMG SRC="a.jpg"></DIV>)", "strip=a.jpg"},
        {"entities", R"(<div id="spec-list"><img src="//img.jd.com/a.jpg?x=1&amp;y=2"></div>)",
         "strip=//img.jd.com/a.jpg?x=1&y=2"},
        {"data-url without src", R"(<div id="spec-list"><img data-url=" b.jpg"><img src="" data-url="c.jpg"></div>)",
         "strip=b.jpg|c.jpg"},
        {"img with neither", R"(<div id="spec-list"><img src="a.jpg"><img alt="x"><img src="c.jpg"></div>)",
         "strip=a.jpg||c.jpg"},
        {"class spec-items only", R"(<ul class="lh spec-items"><li><img src="a.jpg"></ul>)", "strip=a.jpg"},
        {"spec-list over an earlier spec-items",
         R"(<ul class="spec-items"><img src="x.jpg"></ul><div id="spec-list"><img src="a.jpg"></div>)",
         "strip=a.jpg"},
        {"empty strip", R"(<div id="spec-list"></div>)", ""},
        {"NUL before the strip", "<p>\0</p><div id=spec-list><img src=\"a\0.jpg\"></div>"s,
         "strip=a\uFFFD.jpg"},
    };
    Check(cases);
}

TEST(PageHtmlTest, TitleAndScript)
{
    const ST_CASE cases[] = {
        {"nested tags, script and style",
         "<div class=\"itemInfo sku-name\">\n <img src=self.png> 华为 &amp; <b>Mate</b><script>var x;</script>"
         "<style>.a{}</style>\n 60 </div><div class=sku-name>别的</div>",
         "title=华为 & Mate 60"},
        {"class is a word, not a part", R"(<div class="sku-name-x">不是</div>)", ""},
        {"pageConfig among several scripts",
         "<script src=\"a.js\"></script><script>var a = 1;</script>"
         "<script type=\"text/javascript\">var pageConfig = {a: '<b>'};</script><script>pageConfig.b = 2;</script>",
         "script=var pageConfig = {a: '<b>'};"},
    };
    Check(cases);
}

TEST(PageHtmlTest, Choices)
{
    const ST_CASE cases[] = {
        {"data-value, else the text",
         R"(<div id="choose-attr-1"><div class="item" data-sku="100" data-value=" 黑色  大 "><a>x</a></div>)"
         R"(<div class="item" data-sku="200"><a><i>白</i>  色</a></div></div>)",
         "choices=100:黑色 大,200:白 色"},
        {"a sku in two rows is listed once",
         R"(<div id="choose-attr-1"><div data-sku="100" data-value="黑"></div></div>)"
         R"(<div id="choose-attr-2"><div data-sku="100" data-value="大"></div><div data-sku="300" data-value="小"></div></div>)",
         "choices=100:黑,300:小"},
        {"data-sku not all digits",
         R"(<div id="choose-attr-1"><b data-sku="10a">a</b><b data-sku="">b</b><b data-sku="-1">c</b><b data-sku="7">d</b></div>)",
         "choices=7:d"},
        {"outside the rows, and the row itself",
         R"(<div data-sku="100">x</div><div id="choose-attr-1" data-sku="5"><div data-sku="200">y</div></div>)",
         "choices=200:y"},
        {"no item within an item",
         R"(<div id="choose-attr-1"><div data-sku="100"><span data-sku="200">a</span> b</div></div>)",
         "choices=100:a b"},
    };
    Check(cases);
}

TEST(PageHtmlTest, DeepStripIsRead)
{
    std::string html;
    for (int i = 0; i < 3000; ++i)
        html += "<div>";
    html += "<span id=spec-list><img src=a.jpg></span>";
    EXPECT_EQ(Describe(ReadHtmlPage(QString::fromStdString(html))), "strip=a.jpg");
}

// These must come back at all, without a crash, an exhausted stack or memory.
TEST(PageHtmlTest, HostilePagesReturn)
{
    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += "<div>";

    // Every paragraph reopens all the formatting tags before it.
    std::string reopened = "<p>";
    for (int i = 0; i < 3000; ++i)
        reopened += "<b id=" + std::to_string(i) + ">";
    for (int i = 0; i < 3000; ++i)
        reopened += "<p>x";

    std::mt19937 random(7);
    std::string soup(1 << 20, '\0');
    for (char &c : soup)
        c = char(random() % 8 == 0 ? "<>&/=\"'\0"[random() % 8] : random());

    for (const std::string &html : {nested, reopened, soup})
        ReadHtmlPage(QString::fromLatin1(html.data(), qsizetype(html.size())));
}

} // namespace
