// The thumbnails' download-to-file: the whole body or no file at all.

#include "net/download_file.h"

#include "net_test_support.h"
#include "test_server.h"

#include <QFile>

#include <atomic>
#include <chrono>

namespace {

using namespace std::chrono_literals;

class DownloadFileTest : public NetTest
{
protected:
    void SetUp() override
    {
        NetTest::SetUp();
        auto &h = srv.Http();
        h.Get("/cover.jpg", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(5000, 'c'), "image/jpeg");
        });
        h.Get("/missing.jpg", [](const httplib::Request &, httplib::Response &res) { res.status = 404; });
        h.Get("/redirect", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/cover.jpg"); });
        // Sends a little, then stalls until the test ends.
        h.Get("/stall.jpg", [this](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider("image/jpeg", [this](std::size_t, httplib::DataSink &sink) {
                sink.write("0123456789", 10);
                for (int i = 0; i < 300 && !stop; ++i)
                    std::this_thread::sleep_for(10ms);
                sink.done();
                return true;
            });
        });
        srv.Start();
    }
    void TearDown() override
    {
        stop = true;
        srv.Stop();
    }

    QByteArray Read(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    std::atomic<bool> stop{false};
    TestServer srv;
};

} // namespace

TEST_F(DownloadFileTest, WholeBodyLandsInTheFile)
{
    for (const char *path : {"/cover.jpg", "/redirect"}) {
        const QString file = TempPath(QStringLiteral("0.jpg"));
        EXPECT_TRUE(DownloadToFile(Q(srv.Url(path)), file, 10)) << path;
        EXPECT_EQ(Read(file), QByteArray(5000, 'c')) << path;
    }
}

TEST_F(DownloadFileTest, FailureLeavesTheOlderFileAlone)
{
    const QString file = TempPath(QStringLiteral("1.jpg"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    EXPECT_FALSE(DownloadToFile(Q(srv.Url("/missing.jpg")), file, 10));
    EXPECT_FALSE(DownloadToFile(QString(), file, 10));
    EXPECT_EQ(Read(file), QByteArray("old"));
}

TEST_F(DownloadFileTest, AbortEndsARunningTransferWithoutAFile)
{
    std::atomic<bool> abort{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(200ms);
        abort = true;
    });
    const auto started = std::chrono::steady_clock::now();
    const QString file = TempPath(QStringLiteral("2.jpg"));
    EXPECT_FALSE(DownloadToFile(Q(srv.Url("/stall.jpg")), file, 20, &abort));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_FALSE(QFile::exists(file));
}
