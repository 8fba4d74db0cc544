#include "core/soft_settings.h"

#include <gtest/gtest.h>

namespace {

HistoryList Filled()
{
    return {QStringLiteral("e0"), QStringLiteral("e1"), QStringLiteral("e2"), QStringLiteral("e3"),
            QStringLiteral("e4")};
}

TEST(PushHistory, NewTextGoesOnTopAndTheOldestFallsOff)
{
    HistoryList list = Filled();
    EXPECT_EQ(PushHistory(list, QStringLiteral("new")), 1);
    EXPECT_EQ(list, (HistoryList{QStringLiteral("new"), QStringLiteral("e0"), QStringLiteral("e1"),
                                 QStringLiteral("e2"), QStringLiteral("e3")}));
}

TEST(PushHistory, DuplicatesAreRefusedIgnoringCase)
{
    HistoryList list = Filled();
    EXPECT_EQ(PushHistory(list, QStringLiteral("E4")), 0); // the last entry counts too
    EXPECT_EQ(PushHistory(list, QStringLiteral("e0")), 0);
    EXPECT_EQ(list, Filled());
    HistoryList paths{QStringLiteral("/Home/Pics/")};
    EXPECT_EQ(PushHistory(paths, QStringLiteral("/home/pics/")), 0);
}

TEST(PushHistory, LengthLimit)
{
    HistoryList list;
    EXPECT_EQ(PushHistory(list, QString(400, QChar(u'a'))), 0);
    EXPECT_TRUE(list[0].isEmpty());
    EXPECT_EQ(PushHistory(list, QString(399, QChar(u'a'))), 1);
    EXPECT_EQ(list[0].size(), 399);
}

TEST(PushHistory, FillsAnEmptyList)
{
    HistoryList list;
    EXPECT_EQ(PushHistory(list, QStringLiteral("a")), 1);
    EXPECT_EQ(PushHistory(list, QStringLiteral("b")), 1);
    EXPECT_EQ(list[0], QStringLiteral("b"));
    EXPECT_EQ(list[1], QStringLiteral("a"));
    EXPECT_TRUE(list[2].isEmpty());
}

TEST(PushHistory, EmptyTextMatchesAnEmptyEntry)
{
    HistoryList list;
    EXPECT_EQ(PushHistory(list, QString()), 0);
    HistoryList full = Filled();
    EXPECT_EQ(PushHistory(full, QString()), 1);
    EXPECT_TRUE(full[0].isEmpty());
}

TEST(PushHistory, PushedEntriesSurviveTheFile)
{
    SoftSettings s;
    PushHistory(s.arrUrlHistory, QString(399, QChar(0x4EAC)));
    PushHistory(s.arrSavePathHistory, QStringLiteral("/保存/"));
    const SoftSettings back = DeserializeSettings(SerializeSettings(s));
    EXPECT_EQ(back.arrUrlHistory[0], s.arrUrlHistory[0]);
    EXPECT_EQ(back.arrSavePathHistory[0], QStringLiteral("/保存/"));
}

} // namespace
