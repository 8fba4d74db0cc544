#include "cli/cli_options.h"

#include "core/program_folder_option.h"
#include "ostrel_version.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>
#include <optional>

namespace {

// The first line of the help; the option table follows.
const char kUsageLine[] = "usage: ostrel-cli [options] [ADDRESS...]";

const char kDescription[] =
    "Downloads the pictures of JD product pages, as the window's \"获取相册\" does.\n"
    "The current folder is the program folder: soft.dat and 下载器扩展设置.ini are\n"
    "read (and soft.dat written) there.";

const char kFooter[] =
    "\n"
    "Addresses come from the arguments first, then from each input file in turn.\n"
    "--get-urls prints one line per picture, its address and the path the download\n"
    "would write, separated by a tab; it makes no folder and writes no picture,\n"
    "pic.zvk or list file.  The overrides apply to this run only; soft.dat keeps\n"
    "its own values.\n"
    "\n"
    "Exit status: 0 every address was downloaded (or listed), 1 an address gave no\n"
    "album or no pictures, or the save path was unusable, 2 usage error.\n";

struct NumberOption
{
    QCommandLineOption option;
    std::optional<uint16_t> RunOptions::*field;
    unsigned lowest;
    unsigned highest;
};

// A whole decimal number within [lowest, highest].
std::optional<uint16_t> ParseNumber(const QString &text, unsigned lowest, unsigned highest)
{
    bool bOk = false;
    const unsigned value = text.toUInt(&bOk);
    if (!bOk || value < lowest || value > highest)
        return std::nullopt;
    return uint16_t(value);
}

} // namespace

CliParse ParseCliOptions(const QStringList &arguments)
{
    CliParse result;
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this text."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("Save path (default: the newest save path of soft.dat, "
                                                 "else the current folder)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption input({QStringLiteral("i"), QStringLiteral("input-file")},
                                   QStringLiteral("Read addresses from FILE, one per line (\"-\": standard "
                                                  "input); blank lines and lines starting with # are skipped."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption getUrls({QStringLiteral("g"), QStringLiteral("get-urls")},
                                     QStringLiteral("List every picture that would be downloaded and "
                                                    "download nothing."));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("Print only notices and the summary."));
    const QCommandLineOption browser(QStringLiteral("browser"),
                                     QStringLiteral("Read product pages in the embedded browser (offscreen, with "
                                                    "the log-in of the program's browser): the page's scripts "
                                                    "run, so a script check passes by itself."));
    const NumberOption numbers[] = {
        {{QStringLiteral("threads"), QStringLiteral("Download threads for this run (1-15)."), QStringLiteral("N")},
         &RunOptions::wThreads, 1, 15},
        {{QStringLiteral("timeout"), QStringLiteral("Network time-out in seconds for this run (at least 10)."),
          QStringLiteral("S")},
         &RunOptions::wTimeoutSec, 10, 0xFFFF},
        {{QStringLiteral("min-kb"), QStringLiteral("Smallest picture size in KB for this run (0: none)."),
          QStringLiteral("KB")},
         &RunOptions::wMinKB, 0, 0xFFFF},
        {{QStringLiteral("max-kb"), QStringLiteral("Largest picture size in KB for this run (0: none)."),
          QStringLiteral("KB")},
         &RunOptions::wMaxKB, 0, 0xFFFF},
    };
    const ProgramFolderOptions folders;
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(save);
    parser.addOption(input);
    parser.addOption(getUrls);
    parser.addOption(quiet);
    parser.addOption(browser);
    for (const NumberOption &n : numbers)
        parser.addOption(n.option);
    folders.AddTo(parser);
    parser.addPositionalArgument(QStringLiteral("ADDRESS"), QStringLiteral("A JD product page address."),
                                 QStringLiteral("[ADDRESS...]"));

    if (!parser.parse(arguments)) {
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        const QString table = parser.helpText();
        result.action = CliParse::Help;
        result.text = QString::fromUtf8(kUsageLine) + table.mid(table.indexOf(u'\n')) + QString::fromUtf8(kFooter);
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CliParse::Version;
        result.text = QStringLiteral("ostrel-cli %1\n").arg(QString::fromUtf8(kOstrelVersion));
        return result;
    }

    CliOptions &o = result.options;
    for (const NumberOption &n : numbers) {
        if (!parser.isSet(n.option))
            continue;
        const QString name = n.option.names().constFirst();
        o.run.*n.field = ParseNumber(parser.value(n.option), n.lowest, n.highest);
        if (!(o.run.*n.field)) {
            result.text = QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'")
                              .arg(name)
                              .arg(n.lowest)
                              .arg(n.highest)
                              .arg(parser.value(n.option));
            return result;
        }
    }
    o.programFolder = folders.Chosen(parser, result.text);
    if (!result.text.isEmpty())
        return result;
    o.addresses = parser.positionalArguments();
    o.inputFiles = parser.values(input);
    o.savePath = parser.value(save);
    o.bGetUrls = parser.isSet(getUrls);
    o.bQuiet = parser.isSet(quiet);
    o.bBrowser = parser.isSet(browser);
    if (o.addresses.isEmpty() && o.inputFiles.isEmpty()) {
        result.text = QStringLiteral("no address given");
        return result;
    }
    result.action = CliParse::Run;
    return result;
}

QStringList AddressesFromList(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList addresses;
    for (const QString &line : text.split(u'\n')) {
        const QString address = line.trimmed();
        if (!address.isEmpty() && !address.startsWith(u'#'))
            addresses.append(address);
    }
    return addresses;
}

bool ReadInputFiles(CliOptions &options, QString &error)
{
    for (const QString &path : options.inputFiles) {
        QFile file;
        const bool bOpen = path == QStringLiteral("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                       : (file.setFileName(path), file.open(QIODevice::ReadOnly));
        if (!bOpen) {
            error = QStringLiteral("cannot read %1").arg(path);
            return false;
        }
        options.addresses += AddressesFromList(file.readAll());
    }
    return true;
}
