#include "core/program_folder_option.h"

#include "util/app_data_folder.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

void ProgramFolderOptions::AddTo(QCommandLineParser &parser) const
{
    parser.addOption(folder);
    parser.addOption(dataFolder);
}

QString ProgramFolderOptions::Chosen(const QCommandLineParser &parser, QString &error) const
{
    error.clear();
    const bool bFolder = parser.isSet(folder);
    const bool bData = parser.isSet(dataFolder);
    if (bFolder && bData) {
        error = QStringLiteral("--program-folder and --app-data exclude each other");
        return {};
    }
    QString dir;
    if (bData) {
        dir = AppDataFolder();
        if (!QDir().mkpath(dir)) {
            error = QStringLiteral("cannot create the program folder %1").arg(dir);
            return {};
        }
    } else if (bFolder) {
        // A mistyped folder is refused rather than made: soft.dat would
        // silently start afresh there.
        dir = parser.value(folder);
        if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
            error = QStringLiteral("program folder %1 is not a folder").arg(dir);
            return {};
        }
    } else {
        return {};
    }
    dir = QDir(dir).absolutePath();
    return dir.endsWith(u'/') ? dir : dir + u'/';
}
