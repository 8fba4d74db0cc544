// Time to load a flooded cookie file: a shop once set 50 lasting cookies per
// picture answer and left 30,000 lines or more behind.  Prints the time of
// each load and how many cookies the jar kept.
//
//   bench_cookie_load [LINES=50000] [ROUNDS=3]

#include "net/cookie_store.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int nLines = argc > 1 ? std::atoi(argv[1]) : 50000;
    const int nRounds = argc > 2 ? std::atoi(argv[2]) : 3;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cookies.txt"));
    QByteArray text = "# Netscape HTTP Cookie File\n";
    for (int i = 0; i < nLines; ++i)
        text += "img.storm.example\tFALSE\t/\tFALSE\t4102444800\ts" + QByteArray::number(i) + "\tv\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return 1;
    f.close();

    CCookieStore &store = CCookieStore::Instance();
    for (int r = 0; r < nRounds; ++r) {
        const auto started = std::chrono::steady_clock::now();
        store.SetCookieFile(path);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        std::printf("load of %d lines: %lld ms, %lld cookies kept\n", nLines, static_cast<long long>(ms.count()),
                    static_cast<long long>(store.Cookies().size()));
    }
    return 0;
}
