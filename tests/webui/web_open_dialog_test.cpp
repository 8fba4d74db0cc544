// The log-in dialog's own behaviour: start address or clipboard, resizing.

#include "ui/control_ids.h"
#include "web_test_support.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {

using WebOpenDialog = WebLoginTest;

TEST_F(WebOpenDialog, WithoutStartAddressTheClipboardGoesIntoTheBoxAndNothingLoads)
{
    const QString copied = QStringLiteral("https://item.jd.com/100012043978.html");
    QGuiApplication::clipboard()->setText(copied);
    CDlgWebOpen &dlg = Open(QString());
    QTest::qWait(200);
    EXPECT_EQ(qobject_cast<QLineEdit *>(dlg.Item(IDC_WEB_ADDRESS))->text(), copied);
    EXPECT_TRUE(dlg.Browser()->url().isEmpty());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("登录成功后手动关闭对话框"));
    QGuiApplication::clipboard()->clear();
}

TEST_F(WebOpenDialog, WideningMovesTheButtonAndWidensTheBoxAndTheBrowser)
{
    CDlgWebOpen &dlg = Open(QString());
    QTest::qWait(50);
    QWidget *box = dlg.Item(IDC_WEB_ADDRESS);
    QWidget *button = dlg.Item(IDC_WEB_OPEN);
    QWidget *browser = dlg.Item(IDC_WEB_BROWSER);
    ASSERT_TRUE(box && button && browser);
    EXPECT_EQ(button->geometry().right() + 1, dlg.width());
    EXPECT_EQ(box->geometry().right() + 1 + 5, button->x());
    const QRect boxBefore = box->geometry(), buttonBefore = button->geometry(), browserBefore = browser->geometry();

    dlg.resize(dlg.width() + 100, dlg.height() + 40);
    QTest::qWait(50);
    EXPECT_EQ(button->geometry(), buttonBefore.translated(100, 0));
    EXPECT_EQ(box->geometry(), boxBefore.adjusted(0, 0, 100, 0));
    EXPECT_EQ(browser->geometry(), browserBefore.adjusted(0, 0, 100, 40));
    EXPECT_EQ(browser->geometry().bottomRight(), QPoint(dlg.width() - 1, dlg.height() - 1));
}

TEST_F(WebOpenDialog, OpensCentredOnItsOwner)
{
    QWidget owner;
    owner.setGeometry(200, 150, 400, 300);
    owner.show();
    CDlgWebOpen dlg(*profile, &owner);
    dlg.resize(300, 200); // both fit on the offscreen screen
    dlg.show();
    QTest::qWait(50);
    const QPoint centre = dlg.geometry().center();
    EXPECT_LE((centre - owner.geometry().center()).manhattanLength(), 60);
}

} // namespace
