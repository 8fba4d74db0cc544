#pragma once

#include "engine/run_options.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// ostrel-cli's command line.
struct CliOptions
{
    QStringList addresses;    // the address arguments, in order
    QStringList inputFiles;   // -i FILE, in order; "-" is standard input
    QString savePath;         // --save, empty for the default
    QString programFolder;    // chosen by --program-folder / --app-data, empty for the current folder
    bool bGetUrls = false;    // -g: name the pictures, download nothing
    bool bQuiet = false;      // -q: only notices and the summary
    bool bBrowser = false;    // --browser: product pages read in the embedded browser
    RunOptions run;           // --threads, --timeout, --min-kb, --max-kb
};

struct CliParse
{
    enum Action { Run, Help, Version, UsageError };
    Action action = UsageError;
    CliOptions options;
    QString text; // the help text, or what is wrong with the command line
};

// Parses the arguments (argv[0] first).  Makes the data folder for
// --app-data; reads no input file.
CliParse ParseCliOptions(const QStringList &arguments);

// The addresses of an input file: one per line, trimmed; blank lines and
// lines starting with '#' skipped.  UTF-8, with or without a byte-order mark.
QStringList AddressesFromList(const QByteArray &bytes);

// Appends the addresses of every input file of `options` to its addresses.
// False, with `error` naming the file, when one cannot be read.
bool ReadInputFiles(CliOptions &options, QString &error);
