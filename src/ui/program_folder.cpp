#include "ui/program_folder.h"

#include <QDir>

QString WithTrailingSeparator(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

bool IsTemporaryFolder(const QString &programFolder, const QString &systemTempFolder)
{
    const QString lower = WithTrailingSeparator(programFolder).toLower();
    if (lower.contains(QLatin1String("/temp/")) || lower.contains(QLatin1String("/locals")))
        return true;
    if (systemTempFolder.isEmpty())
        return false;
    const QString temp = WithTrailingSeparator(QDir::cleanPath(systemTempFolder)).toLower();
    return temp != QLatin1String("/") && lower.startsWith(temp);
}

QString ProposedSavePath(const QString &programFolder, const QString &systemTempFolder,
                         const QString &documentsFolder)
{
    if (!IsTemporaryFolder(programFolder, systemTempFolder))
        return programFolder;
    return DocumentsSaveFolder(documentsFolder);
}

QString DocumentsSaveFolder(const QString &documentsFolder)
{
    return WithTrailingSeparator(documentsFolder) + QStringLiteral("Lumbrack/");
}

QString ProgramFolderFrom(const QString &currentFolder)
{
    return WithTrailingSeparator(currentFolder.left(500));
}
