#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;

// The start-up options both programs take to choose the program folder (the
// home of soft.dat, 下载器扩展设置.ini and tmp/) instead of the current folder.
struct ProgramFolderOptions
{
    QCommandLineOption folder{QStringLiteral("program-folder"),
                              QStringLiteral("Use DIR instead of the current folder for soft.dat, "
                                             "下载器扩展设置.ini and tmp/."),
                              QStringLiteral("DIR")};
    // The desktop entry passes this one: a desktop launch starts in the home
    // folder, which is no place for these files.
    QCommandLineOption dataFolder{QStringLiteral("app-data"),
                                  QStringLiteral("Use the user's data folder (~/.local/share/"
                                                 "Lumbrack/Ostrel/) as program folder.")};

    void AddTo(QCommandLineParser &parser) const;

    // The folder the options choose, absolute and ending in '/' (the data
    // folder is made on first use); empty when neither is given, so the
    // current folder stays the program folder.  On a folder that cannot serve,
    // empty with `error` saying why.
    QString Chosen(const QCommandLineParser &parser, QString &error) const;
};
