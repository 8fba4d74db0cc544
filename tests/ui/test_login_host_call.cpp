// WM_OPEN_LOGIN_PAGE as the jobs' host call: from a job thread, the modal
// log-in browser without owner runs on the GUI thread and its result returns.
#include "ui/tamblin_dlg.h"
#include "ui_test_support.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(LoginHostCall, AJobThreadGetsTheModalBrowsersResult)
{
    TestApp();
    QTemporaryDir folder;
    CTamblinEnvironment env;
    env.currentFolder = env.documentsFolder = folder.path();
    env.showSplash = false;
    CTamblinDlg dlg(env);
    CRecordingMessageBox messages;
    dlg.SetMessageBox(&messages);
    QString asked;
    dlg.SetLoginBrowserFactory([&](QWidget *owner, const QString &address) {
        asked = address;
        EXPECT_EQ(owner, nullptr);
        return std::make_unique<QDialog>(owner);
    });
    bool onGuiThread = false;
    dlg.runModal = [&](QDialog &) {
        onGuiThread = QThread::currentThread() == dlg.thread();
        return 5;
    };

    std::atomic<int> result{-1};
    std::thread job([&] { result = dlg.ShowLoginPage(QStringLiteral("http://127.0.0.1:9/login")); });
    for (int i = 0; i < 500 && result == -1; ++i)
        QTest::qWait(10);
    job.join();
    EXPECT_EQ(result, 5);
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(asked, QStringLiteral("http://127.0.0.1:9/login"));
    EXPECT_TRUE(messages.Texts().isEmpty());
}
