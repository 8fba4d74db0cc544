#include "ui/login_browser.h"
#include "ui_test_support.h"

#include <QDialog>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

struct LoginHostTest : ::testing::Test
{
    LoginHostTest()
    {
        host.SetFactory([this](QWidget *owner, const QString &address) {
            addresses.append(address);
            return std::make_unique<QDialog>(owner);
        });
    }

    QWidget window;
    CLoginBrowserHost host;
    CRecordingMessageBox messages;
    QStringList addresses;
    QPointer<QDialog> modalRun;
    std::function<int(QDialog &)> runModal = [this](QDialog &d) {
        modalRun = &d;
        EXPECT_EQ(d.parentWidget(), nullptr);
        return 7;
    };
};

TEST_F(LoginHostTest, ModelessBrowserIsOwnedByTheWindowAndReplacedByTheNextOne)
{
    host.Open(QStringLiteral("a"), true, &window, runModal, messages);
    QPointer<QDialog> first = host.Modeless();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->parentWidget(), &window);
    EXPECT_TRUE(first->isVisible());

    host.Open(QStringLiteral("b"), true, &window, runModal, messages);
    EXPECT_TRUE(first.isNull());
    ASSERT_TRUE(host.Modeless());
    EXPECT_EQ(addresses, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST_F(LoginHostTest, ModalBrowserHasNoOwnerAndEndsWithItsRun)
{
    host.Open(QStringLiteral("a"), true, &window, runModal, messages);
    QPointer<QDialog> modeless = host.Modeless();
    host.Open(QStringLiteral("b"), false, &window, runModal, messages);
    EXPECT_TRUE(modeless.isNull());
    EXPECT_EQ(host.Modeless(), nullptr);
    EXPECT_TRUE(modalRun.isNull()); // destroyed after the run
    EXPECT_EQ(host.RunModal(QStringLiteral("c"), runModal, messages), 7);
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST(LoginHostWithoutBrowser, EntriesSayTheBrowserIsNotAvailable)
{
    CLoginBrowserHost host;
    CRecordingMessageBox messages;
    QWidget window;
    bool ran = false;
    const auto runModal = [&](QDialog &) { return ran = true, 1; };
    host.Open(QStringLiteral("a"), true, &window, runModal, messages);
    EXPECT_EQ(host.RunModal(QStringLiteral("a"), runModal, messages), 0);
    EXPECT_FALSE(ran);
    EXPECT_EQ(host.Modeless(), nullptr);
    ASSERT_EQ(messages.Texts().size(), 2);
    EXPECT_TRUE(messages.Texts().first().contains(QStringLiteral("不可用")));
}

} // namespace
