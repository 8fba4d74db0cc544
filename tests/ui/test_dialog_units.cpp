#include "ui/control_ids.h"
#include "ui/dialog_builder.h"
#include "ui/dialog_template.h"
#include "ui/dialog_units.h"
#include "ui_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <set>

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDivRound(471, 6, 4), 707);  // 706.5
    EXPECT_EQ(MulDivRound(1, 6, 4), 2);      // 1.5
    EXPECT_EQ(MulDivRound(1, 5, 4), 1);      // 1.25
    EXPECT_EQ(MulDivRound(-1, 6, 4), -2);
    EXPECT_EQ(MulDivRound(5, 5, 0), -1);
}

TEST(DialogUnits, AverageWidthHalvesWithRounding)
{
    // 52 letters of 7 px: 364 / 26 = 14, (14 + 1) / 2 = 7.
    EXPECT_EQ(AverageCharWidthFromLetters(364), 7);
    // 312 / 26 = 12 -> 6; 338 / 26 = 13 -> 7.
    EXPECT_EQ(AverageCharWidthFromLetters(312), 6);
    EXPECT_EQ(AverageCharWidthFromLetters(338), 7);
}

TEST(DialogUnits, RectangleConvertsPositionAndSizeEachOnItsOwn)
{
    const DialogBaseUnits units{6, 13};
    const PixRect r = DluToPixels({389, 19, 36, 13}, units);
    EXPECT_EQ(r, (PixRect{MulDivRound(389, 6, 4), MulDivRound(19, 13, 8), 54, MulDivRound(13, 13, 8)}));
}

TEST(MainDialogTemplate, HoldsEveryControlWithItsRectangle)
{
    const DlgTemplate &tpl = MainDialogTemplate();
    EXPECT_EQ(tpl.resourceId, 102);
    EXPECT_EQ(tpl.cx, 471);
    EXPECT_EQ(tpl.cy, 323);
    struct Expect { int id; DlgRect r; };
    const Expect expected[] = {
        {1009, {12, 1, 99, 11}},    {1006, {119, 1, 269, 11}},  {1013, {7, 1, 381, 16}},
        {1002, {7, 20, 70, 400}},   {1035, {79, 20, 53, 200}},  {1001, {134, 20, 252, 162}},
        {1004, {389, 19, 36, 13}},  {1005, {430, 19, 36, 13}},  {1000, {40, 38, 346, 151}},
        {1007, {389, 38, 36, 13}},  {1008, {430, 38, 36, 13}},  {1011, {3, 52, 465, 246}},
        {1003, {6, 64, 459, 231}},  {1012, {441, 53, 23, 10}},  {1014, {402, 53, 32, 10}},
        {1027, {223, 53, 21, 8}},   {1028, {246, 53, 21, 8}},   {1029, {269, 53, 21, 8}},
        {1034, {376, 53, 21, 8}},   {1036, {346, 53, 21, 8}},   {1037, {316, 53, 21, 8}},
        {1030, {273, 300, 35, 9}},  {1031, {4, 301, 265, 8}},
    };
    for (const Expect &e : expected) {
        const CtlTemplate *c = tpl.Find(e.id);
        ASSERT_NE(c, nullptr) << e.id;
        EXPECT_EQ(c->rect.x, e.r.x) << e.id;
        EXPECT_EQ(c->rect.y, e.r.y) << e.id;
        EXPECT_EQ(c->rect.cx, e.r.cx) << e.id;
        EXPECT_EQ(c->rect.cy, e.r.cy) << e.id;
    }
}

TEST(DialogTemplates, IdsAreUniquePerDialog)
{
    for (const DlgTemplate *tpl : {&MainDialogTemplate(), &AboutDialogTemplate(), &SaveSetDialogTemplate(),
                                   &DownSetDialogTemplate()}) {
        std::set<int> seen;
        for (const CtlTemplate &c : tpl->controls) {
            if (c.id == kIdStatic)
                continue;
            EXPECT_TRUE(seen.insert(c.id).second) << tpl->resourceId << " " << c.id;
        }
    }
}

TEST(DialogBuilder, PlacesControlsAtTheirPixelRectanglesWithIds)
{
    TestApp();
    QWidget client;
    const DialogBaseUnits units{6, 13};
    BuildDialogControls(&client, MainDialogTemplate(), units);
    EXPECT_EQ(client.width(), DluToPixelsX(471, units));
    EXPECT_EQ(client.height(), DluToPixelsY(323, units));

    auto *getList = GetDlgItemAs<QPushButton>(&client, IDC_GETLIST);
    ASSERT_NE(getList, nullptr);
    EXPECT_EQ(getList->text(), QStringLiteral("获取相册"));
    EXPECT_TRUE(getList->isDefault());
    const PixRect r = DluToPixels({389, 19, 36, 13}, units);
    EXPECT_EQ(getList->geometry(), QRect(r.x, r.y, r.width, r.height));

    auto *download = GetDlgItemAs<QPushButton>(&client, IDC_DOWNLOAD);
    ASSERT_NE(download, nullptr);
    EXPECT_FALSE(download->isEnabled());
    EXPECT_EQ(CtrlId(download), IDC_DOWNLOAD);

    // Combo boxes: the closed box at the template's position, the list below.
    auto *site = GetDlgItemAs<QComboBox>(&client, IDC_SITE);
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->pos(), QPoint(DluToPixelsX(7, units), DluToPixelsY(20, units)));
    EXPECT_EQ(site->width(), DluToPixelsX(70, units));
    EXPECT_LT(site->height(), DluToPixelsY(400, units));

    // Created hidden: the sort links and the update link.
    for (int id : {IDC_SORT1, IDC_SORT2, IDC_SORT3, IDC_UPDATELINK})
        EXPECT_TRUE(GetDlgItem(&client, id)->isHidden()) << id;
    for (int id : {IDC_FIND, IDC_FILTER, IDC_EXPORT})
        EXPECT_FALSE(GetDlgItem(&client, id)->isHidden()) << id;
    ASSERT_NE(GetDlgItem(&client, IDC_GRID), nullptr);
    EXPECT_EQ(GetDlgItem(&client, 4242), nullptr);
}

TEST(DialogBuilder, LinkTextKeepsAnchorsAndEscapesTheRest)
{
    TestApp();
    QLabel link;
    SetLinkText(&link, QStringLiteral("<a>好评↓</a>"));
    EXPECT_EQ(LinkText(&link), QStringLiteral("<a>好评↓</a>"));
    EXPECT_TRUE(link.text().contains(QStringLiteral("href")));
    SetLinkText(&link, QStringLiteral("a<b>"));
    EXPECT_TRUE(link.text().contains(QStringLiteral("&lt;b&gt;")));
}

TEST(DialogBuilder, DisabledLinkShowsNoAnchor)
{
    TestApp();
    QLabel link;
    SetLinkText(&link, QStringLiteral("<a>查找</a>"));
    link.setEnabled(false);
    EXPECT_FALSE(link.text().contains(QStringLiteral("href")));
    EXPECT_TRUE(link.text().contains(QStringLiteral("查找")));
    link.setEnabled(true);
    EXPECT_TRUE(link.text().contains(QStringLiteral("href")));
}
