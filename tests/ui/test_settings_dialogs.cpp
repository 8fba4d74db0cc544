#include "core/soft_settings.h"
#include "ui/control_ids.h"
#include "ui/dlg_down_set.h"
#include "ui/dlg_save_set.h"
#include "ui/settings_dialog_logic.h"
#include "ui_test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(DialogNumbers, ReadLikeTheEditBoxReader)
{
    EXPECT_EQ(ReadDialogUInt16(QStringLiteral("15")), 15);
    EXPECT_EQ(ReadDialogUInt16(QStringLiteral("  42abc")), 42);
    EXPECT_EQ(ReadDialogUInt16(QStringLiteral("abc")), 0);
    EXPECT_EQ(ReadDialogUInt16(QString()), 0);
    EXPECT_EQ(ReadDialogUInt16(QStringLiteral("65546")), 10);
    EXPECT_EQ(ReadDialogUInt16(QStringLiteral("-1")), 65535);
    EXPECT_EQ(ReadDialogUInt16(QStringLiteral("-65535")), 1);
    EXPECT_EQ(ReadDialogUInt16(QStringLiteral("+7")), 7);
    // Saturates at the int range before the modulo.
    EXPECT_EQ(ReadDialogUInt16(QStringLiteral("99999999999999999999")), 0xFFFF);
}

TEST(DownloadValues, ThreadAndTimeoutLimits)
{
    EXPECT_TRUE(ReadDownloadValues(QStringLiteral("15"), QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0")));
    EXPECT_TRUE(ReadDownloadValues(QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0")));
    EXPECT_FALSE(ReadDownloadValues(QStringLiteral("16"), QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0")));
    EXPECT_FALSE(ReadDownloadValues(QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0")));
    EXPECT_FALSE(ReadDownloadValues(QStringLiteral("5"), QStringLiteral("9"), QStringLiteral("0"), QStringLiteral("0")));
    const auto wrapped = ReadDownloadValues(QStringLiteral("5"), QStringLiteral("65546"), QStringLiteral("0"), QStringLiteral("0"));
    ASSERT_TRUE(wrapped);
    EXPECT_EQ(wrapped->timeoutSeconds, 10);
    const auto sizes = ReadDownloadValues(QStringLiteral("5"), QStringLiteral("30"), QStringLiteral("500"), QStringLiteral("100"));
    ASSERT_TRUE(sizes);
    EXPECT_EQ(sizes->minSizeKB, 500);
    EXPECT_EQ(sizes->maxSizeKB, 100);
}

class DownSetDialog : public ::testing::Test
{
protected:
    void SetUp() override { TestApp(); }
    void Enter(CDlgDownSet &dlg, const char *threads, const char *timeout, const char *minKB, const char *maxKB)
    {
        dlg.ItemAs<QLineEdit>(IDC_DL_THREADS)->setText(QString::fromUtf8(threads));
        dlg.ItemAs<QLineEdit>(IDC_DL_TIMEOUT)->setText(QString::fromUtf8(timeout));
        dlg.ItemAs<QLineEdit>(IDC_DL_MINSIZE)->setText(QString::fromUtf8(minKB));
        dlg.ItemAs<QLineEdit>(IDC_DL_MAXSIZE)->setText(QString::fromUtf8(maxKB));
    }
    CRecordingMessageBox messages;
};

TEST_F(DownSetDialog, OpensWithTheEntrysValues)
{
    DownloadParams entry{100, 2000, 7, 45};
    CDlgDownSet dlg(&entry, messages);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("下载参数设置"));
    EXPECT_EQ(dlg.ItemAs<QLineEdit>(IDC_DL_THREADS)->text(), QStringLiteral("7"));
    EXPECT_EQ(dlg.ItemAs<QLineEdit>(IDC_DL_TIMEOUT)->text(), QStringLiteral("45"));
    EXPECT_EQ(dlg.ItemAs<QLineEdit>(IDC_DL_MINSIZE)->text(), QStringLiteral("100"));
    EXPECT_EQ(dlg.ItemAs<QLineEdit>(IDC_DL_MAXSIZE)->text(), QStringLiteral("2000"));
    EXPECT_EQ(dlg.ItemAs<QPushButton>(IDC_SET_OK)->text(), QStringLiteral("确 定"));
    EXPECT_TRUE(dlg.ItemAs<QPushButton>(IDC_SET_OK)->isDefault());
}

TEST_F(DownSetDialog, EdgesAreAcceptedAndStored)
{
    DownloadParams entry{0, 0, 5, 30};
    CDlgDownSet dlg(&entry, messages);
    Enter(dlg, "15", "10", "500", "100");
    dlg.ItemAs<QPushButton>(IDC_SET_OK)->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(entry, (DownloadParams{500, 100, 15, 10}));
}

TEST_F(DownSetDialog, BadValuesNameTheFieldAndKeepTheEntry)
{
    struct Case
    {
        const char *threads, *timeout, *maxKB, *says;
    };
    // Each names its field and range; numbers that do not fit are refused, not wrapped.
    const Case cases[] = {{"16", "30", "8", "线程数须为 1~15"},     {"0", "30", "8", "线程数须为 1~15"},
                          {"5", "9", "8", "超时须为 10~65535 秒"},  {"5", "65546", "8", "超时须为 10~65535 秒"},
                          {"5", "30", "70000", "图片最大值须为 0~65535 K"}, {"x", "30", "8", "线程数须为 1~15"}};
    for (const Case &c : cases) {
        DownloadParams entry{1, 2, 5, 30};
        CDlgDownSet dlg(&entry, messages);
        dlg.show();
        Enter(dlg, c.threads, c.timeout, "7", c.maxKB);
        dlg.ItemAs<QPushButton>(IDC_SET_OK)->click();
        EXPECT_TRUE(dlg.isVisible()) << c.says;
        EXPECT_EQ(entry, (DownloadParams{1, 2, 5, 30}));
        EXPECT_EQ(messages.Texts().last(), QString::fromUtf8(c.says));
    }
}

TEST_F(DownSetDialog, EscapeCancelsWithoutStoring)
{
    DownloadParams entry{1, 2, 5, 30};
    CDlgDownSet dlg(&entry, messages);
    dlg.show();
    Enter(dlg, "9", "99", "9", "9");
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(entry, (DownloadParams{1, 2, 5, 30}));
}

class SaveSetDialog : public ::testing::Test
{
protected:
    void SetUp() override { TestApp(); }
    CRecordingMessageBox messages;
};

TEST_F(SaveSetDialog, ThirtyEightCharactersAreKept)
{
    NamingRecord entry;
    CDlgSaveSet dlg(&entry, messages);
    dlg.ItemAs<QLineEdit>(IDC_NAME_PREFIX)->setText(QString(38, QLatin1Char('p')));
    dlg.ItemAs<QLineEdit>(IDC_NAME_SUFFIX)->setText(QString(39, QLatin1Char('s')));
    dlg.ItemAs<QLineEdit>(IDC_REPLACE_FROM)->setText(QStringLiteral("a|b"));
    dlg.ItemAs<QLineEdit>(IDC_REPLACE_TO)->setText(QStringLiteral("c"));
    dlg.ItemAs<QLineEdit>(IDC_FOLDER_PREFIX)->setText(QStringLiteral("?9_"));
    dlg.ItemAs<QLineEdit>(IDC_FOLDER_SUFFIX)->setText(QString(60, QLatin1Char('f')));
    dlg.ItemAs<QPushButton>(IDC_SET_OK)->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(entry.strFilePrefix, QString(38, QLatin1Char('p')));
    EXPECT_EQ(entry.strFileSuffix, QString(38, QLatin1Char('s')));
    EXPECT_EQ(entry.strReplaceWhat, QStringLiteral("a|b"));
    EXPECT_EQ(entry.strReplaceWith, QStringLiteral("c"));
    EXPECT_EQ(entry.strFolderPrefix, QStringLiteral("?9_"));
    EXPECT_EQ(entry.strFolderSuffix, QString(38, QLatin1Char('f')));
}

TEST_F(SaveSetDialog, CutNeverSplitsASurrogatePair)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
    const QString text = QString(37, QLatin1Char('x')) + emoji;
    EXPECT_EQ(CutNamingText(text), QString(37, QLatin1Char('x')));
    EXPECT_EQ(CutNamingText(QString(36, QLatin1Char('x')) + emoji), QString(36, QLatin1Char('x')) + emoji);
}

TEST_F(SaveSetDialog, RadioButtonsShowTheStoredChoicesAndOkWritesThemBack)
{
    NamingRecord entry;
    entry.strFilePrefix = QStringLiteral("pre");
    entry.strFileSuffix = QStringLiteral("suf");
    entry.wFlags = 0x0123;
    entry.nFileNameSource = 2;
    entry.nFolderSource = 1;
    const NamingRecord before = entry;
    CDlgSaveSet dlg(&entry, messages);
    EXPECT_TRUE(dlg.ItemAs<QRadioButton>(IDC_SRC_ADDRESS)->isChecked());
    EXPECT_FALSE(dlg.ItemAs<QRadioButton>(IDC_SRC_DESC)->isChecked());
    EXPECT_TRUE(dlg.ItemAs<QRadioButton>(IDC_FOLDER_NONE)->isChecked());
    dlg.ItemAs<QPushButton>(IDC_SET_OK)->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(entry, before);
}

TEST_F(SaveSetDialog, GroupsAreExclusiveOnTheirOwn)
{
    NamingRecord entry;
    CDlgSaveSet dlg(&entry, messages);
    dlg.ItemAs<QRadioButton>(IDC_SRC_NUMBER)->click();
    dlg.ItemAs<QRadioButton>(IDC_FOLDER_NONE)->click();
    EXPECT_EQ(dlg.FileNameSource(), 1);
    EXPECT_EQ(dlg.FolderSource(), 1);
    EXPECT_FALSE(dlg.ItemAs<QRadioButton>(IDC_SRC_DESC)->isChecked());
    dlg.ItemAs<QPushButton>(IDC_SET_OK)->click();
    EXPECT_EQ(entry.nFileNameSource, 1);
    EXPECT_EQ(entry.nFolderSource, 1);
}

TEST_F(SaveSetDialog, DamagedFolderChoiceIsRefusedWithoutStoringAnything)
{
    NamingRecord entry;
    entry.nFileNameSource = 9;
    entry.nFolderSource = 7;
    CDlgSaveSet dlg(&entry, messages);
    dlg.show();
    dlg.ItemAs<QLineEdit>(IDC_NAME_PREFIX)->setText(QStringLiteral("changed"));
    dlg.ItemAs<QPushButton>(IDC_SET_OK)->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(entry.strFilePrefix.isEmpty());
    EXPECT_EQ(entry.nFolderSource, 7);
    // With the folder choice made, a damaged name choice stays as it was.
    dlg.ItemAs<QRadioButton>(IDC_FOLDER_ALBUM)->click();
    dlg.ItemAs<QPushButton>(IDC_SET_OK)->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(entry.nFolderSource, 0);
    EXPECT_EQ(entry.nFileNameSource, 9);
    EXPECT_EQ(entry.strFilePrefix, QStringLiteral("changed"));
}

TEST_F(SaveSetDialog, HelpLinkShowsTheEscapeList)
{
    NamingRecord entry;
    CDlgSaveSet dlg(&entry, messages);
    emit dlg.ItemAs<QLabel>(IDC_NAMING_HELP)->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(messages.Texts().size(), 1);
    const QString text = messages.Texts().front();
    EXPECT_EQ(text, NamingHelpText());
    EXPECT_TRUE(text.startsWith(QStringLiteral("设置前后缀，可以在图片本来的文件名前后加上指定的字符\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("?9:相册在列表中的序号(格式为：0001,0002,0003...)")));
    for (const char *esc : {"?1:", "?2:", "?3:", "?4:", "?5:", "?6:", "?7:", "?9:"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(esc))) << esc;
    EXPECT_FALSE(text.contains(QStringLiteral("?8")));
}

TEST_F(SaveSetDialog, EscapeCancels)
{
    NamingRecord entry;
    CDlgSaveSet dlg(&entry, messages);
    dlg.show();
    dlg.ItemAs<QLineEdit>(IDC_NAME_PREFIX)->setText(QStringLiteral("x"));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(entry.strFilePrefix.isEmpty());
}
