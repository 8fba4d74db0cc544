#include "ui/history_filter.h"
#include "ui/site_table.h"

#include <gtest/gtest.h>

TEST(SiteTable, NamesCoverTheClassifierWithQQFirstAndJDAt16)
{
    const QStringList names = SiteNames();
    ASSERT_GE(names.size(), 21);
    EXPECT_EQ(names[0], QStringLiteral("QQ空间"));
    EXPECT_EQ(names[16], QStringLiteral("京东"));
    EXPECT_EQ(QQListTypeNames(),
              (QStringList{QStringLiteral("QQ空间相册"), QStringLiteral("QQ群相册"), QStringLiteral("腾讯微博相册")}));
    int previous = -1;
    for (const SiteFragments &s : SiteHostFragments()) {
        EXPECT_GT(s.site, previous);
        previous = s.site;
        EXPECT_FALSE(s.fragments.empty());
    }
    EXPECT_EQ(previous, 20);
}

TEST(ClassifyAddress, WithoutSchemeNothingChanges)
{
    EXPECT_FALSE(ClassifyAddressText(QStringLiteral("item.jd.com/100012.html"), 3).has_value());
    EXPECT_FALSE(ClassifyAddressText(QString(), 16).has_value());
    EXPECT_FALSE(ClassifyAddressText(QStringLiteral("ftp://item.jd.com/1.html"), 3).has_value());
}

TEST(ClassifyAddress, SchemeAnywhereCounts)
{
    const auto r = ClassifyAddressText(QStringLiteral("see https://item.jd.com/1.html"), 3);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 16);
}

TEST(ClassifyAddress, JDProductPage)
{
    const auto r = ClassifyAddressText(QStringLiteral("https://item.jd.com/100012043978.html"), 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 16);
    EXPECT_EQ(r->listType, -1);
}

TEST(ClassifyAddress, TaobaoComesBeforeJD)
{
    const auto r = ClassifyAddressText(QStringLiteral("https://item.jd.com/1.html?from=https://s.taobao.com/"), 16);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 11);
    const auto tmall = ClassifyAddressText(QStringLiteral("https://detail.tmall.com/item.htm?id=1"), 16);
    ASSERT_TRUE(tmall);
    EXPECT_EQ(tmall->site, 11);
}

TEST(ClassifyAddress, FragmentAtPositionZeroDoesNotCount)
{
    // The only fragment stands at the very start: the selection stays.
    const auto r = ClassifyAddressText(QStringLiteral("jd.com/?u=http://example.org/"), 5);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 5);
}

TEST(ClassifyAddress, UnknownHostKeepsTheCurrentSelection)
{
    const auto r = ClassifyAddressText(QStringLiteral("http://example.org/"), 7);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 7);
}

TEST(ClassifyAddress, QQListTypes)
{
    auto r = ClassifyAddressText(QStringLiteral("http://user.qzone.qq.com/12345"), 16);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 0);
    EXPECT_EQ(r->listType, -1);  // list type stays 0, set by the list-type box
    r = ClassifyAddressText(QStringLiteral("http://qun.qq.com/air/#12345"), 16);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 0);
    EXPECT_EQ(r->listType, 1);
    r = ClassifyAddressText(QStringLiteral("http://t.qq.com/someone"), 16);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 0);
    EXPECT_EQ(r->listType, 2);
}

TEST(ClassifyAddress, SinaAlternatives)
{
    auto r = ClassifyAddressText(QStringLiteral("https://weibo.com/u/1"), 16);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 4);
    r = ClassifyAddressText(QStringLiteral("http://photo.sina.com.cn/"), 16);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->site, 4);
}

TEST(HistoryFilter, MatchesIgnoringCaseAndShowsLowerCase)
{
    const QStringList items{QStringLiteral("https://Item.JD.com/1.html"), QStringLiteral("http://other.org/"),
                            QStringLiteral("HTTPS://ITEM.JD.COM/2.html")};
    EXPECT_EQ(FilterHistoryItems(items, QStringLiteral("item.jd")),
              (QStringList{QStringLiteral("https://item.jd.com/1.html"), QStringLiteral("https://item.jd.com/2.html")}));
    EXPECT_TRUE(FilterHistoryItems(items, QStringLiteral("nothing")).isEmpty());
}

TEST(ListTypeGeometry, AddressBoxLeftEdgeFollowsTheListTypeBox)
{
    const QRect listType(100, 30, 80, 24);  // right edge at x = 180
    const QRect address(183, 30, 378, 24);
    const QRect hidden = AddressBoxRect(address, listType, false);
    EXPECT_EQ(hidden.left(), 100);
    EXPECT_EQ(hidden.right(), address.right());
    EXPECT_EQ(hidden.top(), address.top());
    EXPECT_EQ(hidden.bottom(), address.bottom());
    const QRect shown = AddressBoxRect(hidden, listType, true);
    EXPECT_EQ(shown.left(), 183);
    EXPECT_EQ(shown.right(), address.right());
}
