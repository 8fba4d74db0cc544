#pragma once

#include <QString>

// A folder path with one trailing separator.
QString WithTrailingSeparator(const QString &path);

// True when the program was started from a temporary or archive folder: the
// lower-cased folder holds "/temp/" or "/locals", or lies in the system's
// temporary folder.
bool IsTemporaryFolder(const QString &programFolder, const QString &systemTempFolder);

// The documents folder + "Lumbrack/": the save path when the program folder
// is no place to look for pictures.
QString DocumentsSaveFolder(const QString &documentsFolder);

// The save path the window proposes before the histories are read: the
// program folder, or for a temporary folder the documents folder + "Lumbrack/".
QString ProposedSavePath(const QString &programFolder, const QString &systemTempFolder,
                         const QString &documentsFolder);

// ProgramFolder: the current folder, at most 500 characters, with a trailing separator.
QString ProgramFolderFrom(const QString &currentFolder);
