#pragma once

// A program folder and a job folder in a temporary directory, an engine state
// on them and a recording host.

#include "engine/engine_state.h"
#include "engine/file_bytes.h"
#include "engine/test_host.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class EngineFixture : public ::testing::Test
{
protected:
    EngineFixture() : host(state)
    {
        state.ProgramFolder = tmp.path() + u'/';
        state.StartupReady = 1;
        state.SiteKind = SITE_JD;
        for (auto &p : state.settings.arrDownload)
            p = DownloadParams{0, 0, 5, 30};
        host.savePath = tmp.path() + QStringLiteral("/save");
    }

    NamingRecord &Naming() { return state.settings.arrNaming[SITE_JD]; }

    // Adds an album and returns its index.
    int AddAlbum(const QString &name, const QString &url = QStringLiteral("http://item.jd.com/1.html"))
    {
        ST_PERLISTRECORD rec;
        rec.strName = name;
        rec.strUrl = url;
        return state.albums.AddAlbum(rec) - 1;
    }

    // Starts an album as the download job does: empty picture list, job folder.
    void StartAlbum(const QString &jobFolder)
    {
        QDir().mkpath(jobFolder);
        state.job.ResetPictures();
        state.job.strFolder = jobFolder.endsWith(u'/') ? jobFolder : jobFolder + u'/';
    }

    static QByteArray ReadAll(const QString &path) { return filebytes::ReadAll(path); }
    static void WriteAll(const QString &path, const QByteArray &bytes)
    {
        ASSERT_TRUE(filebytes::WriteAll(path, bytes));
    }
    static QByteArray Utf16Le(const QString &text) { return filebytes::Utf16Le(text); }

    QTemporaryDir tmp;
    CEngineState state;
    CTestHost host;
};
