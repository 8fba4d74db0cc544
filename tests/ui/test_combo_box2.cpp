#include "ui/combo_box2.h"
#include "ui_test_support.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

class HistoryBox : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        box.resize(400, 24);
        box.show();
        box.AddItem(QStringLiteral("https://Item.JD.com/100.html"));
        box.AddItem(QStringLiteral("https://www.example.org/"));
        box.AddItem(QStringLiteral("HTTPS://ITEM.JD.COM/200.html"));
    }
    void TearDown() override
    {
        box.hidePopup();
        QCoreApplication::processEvents();
    }
    QApplication &app = TestApp();  // before any widget
    CComboBox2 box;
};

TEST_F(HistoryBox, ItemsAreNotInTheVisibleListUntilItOpens)
{
    EXPECT_EQ(box.Items().size(), 3);
    EXPECT_EQ(box.count(), 0);
}

TEST_F(HistoryBox, TypingListsMatchesLowerCasedAndKeepsTheText)
{
    QSignalSpy edits(&box, &CComboBox2::EditChanged);
    box.lineEdit()->setFocus();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("Item.jd"));
    EXPECT_EQ(box.VisibleEntries(),
              (QStringList{QStringLiteral("https://item.jd.com/100.html"), QStringLiteral("https://item.jd.com/200.html")}));
    EXPECT_EQ(box.currentText(), QStringLiteral("Item.jd"));
    EXPECT_EQ(box.lineEdit()->cursorPosition(), 7);
    EXPECT_TRUE(box.TypingListVisible());
    EXPECT_FALSE(box.DropDownBusy());
    EXPECT_EQ(edits.count(), 7);
}

TEST_F(HistoryBox, APastedAddressDoesNotOpenTheList)
{
    QSignalSpy edits(&box, &CComboBox2::EditChanged);
    box.lineEdit()->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("https://item.jd.com/100.html"));
    box.lineEdit()->paste();
    EXPECT_FALSE(box.TypingListVisible());
    EXPECT_EQ(box.currentText(), QStringLiteral("https://item.jd.com/100.html"));
    EXPECT_EQ(edits.count(), 1);
    // Typing on opens it as before.
    QTest::keyClicks(box.lineEdit(), QStringLiteral("x"));
    QTest::keyClick(box.lineEdit(), Qt::Key_Backspace);
    EXPECT_TRUE(box.TypingListVisible());
}

TEST_F(HistoryBox, CaretStaysWhereTheUserTypes)
{
    box.lineEdit()->setFocus();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("jdcom"));
    box.lineEdit()->setCursorPosition(2);
    QTest::keyClicks(box.lineEdit(), QStringLiteral("."));
    EXPECT_EQ(box.currentText(), QStringLiteral("jd.com"));
    EXPECT_EQ(box.lineEdit()->cursorPosition(), 3);
    EXPECT_EQ(box.VisibleEntries().size(), 2);
}

TEST_F(HistoryBox, NoMatchClosesTheList)
{
    box.lineEdit()->setFocus();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("zzz"));
    EXPECT_TRUE(box.VisibleEntries().isEmpty());
    EXPECT_FALSE(box.TypingListVisible());
    EXPECT_EQ(box.currentText(), QStringLiteral("zzz"));
}

TEST_F(HistoryBox, OpeningTheListShowsEveryItemSorted)
{
    box.setEditText(QStringLiteral("typed"));
    box.showPopup();
    EXPECT_EQ(box.VisibleEntries(),
              (QStringList{QStringLiteral("https://Item.JD.com/100.html"), QStringLiteral("HTTPS://ITEM.JD.COM/200.html"),
                           QStringLiteral("https://www.example.org/")}));
    EXPECT_EQ(box.currentText(), QStringLiteral("typed"));
}

TEST_F(HistoryBox, CancelEmptiesTheVisibleListAndKeepsTheText)
{
    box.setEditText(QStringLiteral("typed"));
    box.showPopup();
    box.hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.currentText(), QStringLiteral("typed"));
}

TEST_F(HistoryBox, ChoosingAnEntryReportsItsText)
{
    QSignalSpy chosen(&box, &CComboBox2::SelectionChanged);
    box.showPopup();
    emit box.activated(1);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), QStringLiteral("HTTPS://ITEM.JD.COM/200.html"));
    EXPECT_EQ(box.currentText(), QStringLiteral("HTTPS://ITEM.JD.COM/200.html"));
}

TEST_F(HistoryBox, ClearingTheTextClosesTheList)
{
    box.lineEdit()->setFocus();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("j"));
    EXPECT_TRUE(box.TypingListVisible());
    QTest::keyClick(box.lineEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(box.TypingListVisible());
    EXPECT_TRUE(box.currentText().isEmpty());
}

TEST_F(HistoryBox, ItemArrayGrowsAtItsEnd)
{
    box.AddItem(QStringLiteral("a"));
    EXPECT_EQ(box.Items().back(), QStringLiteral("a"));
    EXPECT_EQ(box.Items().size(), 4);
}
