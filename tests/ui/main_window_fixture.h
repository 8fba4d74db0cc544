#pragma once

// A main window in a fresh program folder under a temporary directory, with
// recorded message boxes and no splash.

#include "core/soft_settings.h"
#include "ui/tamblin_dlg.h"
#include "ui_test_support.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <functional>
#include <memory>

// Runs the event loop until `done` holds, at most `ms`; fails the test when it never does.
#define WaitUntil(...) ASSERT_NO_FATAL_FAILURE(WaitFor(__VA_ARGS__))
inline void WaitFor(const std::function<bool()> &done, int ms = 15000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(10);
    ASSERT_TRUE(done());
}

class MainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        QGuiApplication::clipboard()->clear();
        ASSERT_TRUE(root.isValid());
        programFolder = root.path() + QStringLiteral("/app");
        documents = root.path() + QStringLiteral("/docs");
        QDir().mkpath(programFolder);
        QDir().mkpath(documents);
    }

    CTamblinEnvironment Env(const QString &folder) const
    {
        CTamblinEnvironment env;
        env.currentFolder = folder;
        env.documentsFolder = documents;
        env.tempFolder = QStringLiteral("/nonexistent-temp");
        env.showSplash = false;
        return env;
    }

    std::unique_ptr<CTamblinDlg> Make(const QString &folder)
    {
        auto dlg = std::make_unique<CTamblinDlg>(Env(folder));
        dlg->SetMessageBox(&messages);
        return dlg;
    }

    // A started window in the program folder whose downloads open no file
    // browser and that fetches no covers.
    void MakeQuietStarted(std::unique_ptr<CTamblinDlg> &dlg)
    {
        SoftSettings s;
        ApplyFirstRunDefaults(s);
        s.arrNaming[SITE_JD].wFlags = 0;
        ASSERT_TRUE(SaveSettings(s, programFolder + QLatin1Char('/')));
        dlg = Make(programFolder);
        dlg->downloadToFile = [](const QString &, const QString &) { return false; };
        dlg->Create();
        WaitStarted(*dlg);
    }

    static void WaitStarted(CTamblinDlg &dlg)
    {
        if (dlg.isVisible() && dlg.State().StartupReady == 1)
            return;
        QSignalSpy started(&dlg, &CTamblinDlg::StartupFinished);
        ASSERT_TRUE(started.wait(10000));
        // Let the start-up worker finish its last steps.
        for (int i = 0; i < 50 && dlg.SiteBox()->count() == 0; ++i)
            QTest::qWait(10);
        QTest::qWait(20);
    }

    SoftSettings ReadSoftDat(const QString &folder) const
    {
        QFile file(folder + QStringLiteral("/soft.dat"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(bytes.size(), SOFTDAT_SIZE);
        return DeserializeSettings(bytes);
    }

    QTemporaryDir root;
    QString programFolder;
    QString documents;
    CRecordingMessageBox messages;
};
