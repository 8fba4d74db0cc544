// ostrel-cli: the list and download jobs without a window, for scripts.

#include "cli/cli_host.h"
#include "cli/run_summary.h"
#include "cli/stop_signals.h"
#include "core/soft_settings.h"
#include "engine/engine_state.h"
#include "engine/job_control.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: ostrel-cli [--save DIR] ADDRESS...\n"
    "\n"
    "Downloads the pictures of JD product pages, as the window's \"获取相册\" does.\n"
    "The current folder is the program folder: soft.dat and 下载器扩展设置.ini are\n"
    "read (and soft.dat written) there.\n"
    "\n"
    "  --save DIR  save path (default: the newest save path of soft.dat, else the\n"
    "              current folder)\n"
    "  --help      this text\n"
    "\n"
    "Each address ends with one line \"汇总: 已保存 S, 失败 F, 跳过 K (address)\".\n"
    "\n"
    "Exit status: 0 every collected picture was saved (or listed, or found downloaded\n"
    "by an earlier run), 1 an address gave no album or no pictures, a picture failed,\n"
    "or the save path was unusable, 2 usage error, 130/143 stopped by SIGINT/SIGTERM.\n";

int Usage(FILE *out, int code)
{
    std::fputs(kUsage, out);
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    BlockStopSignals();
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    QString savePath;
    QStringList addresses;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h"))
            return Usage(stdout, kExitOk);
        if (a == QStringLiteral("--save")) {
            if (++i >= args.size())
                return Usage(stderr, kExitUsage);
            savePath = args[i];
        } else if (a.startsWith(QStringLiteral("--save="))) {
            savePath = a.mid(7);
        } else if (a.startsWith(u'-') && a.size() > 1) {
            std::fprintf(stderr, "ostrel-cli: unknown option %s\n", qPrintable(a));
            return Usage(stderr, kExitUsage);
        } else {
            addresses.append(a);
        }
    }
    if (addresses.isEmpty())
        return Usage(stderr, kExitUsage);

    CEngineState state;
    state.ProgramFolder = QDir::currentPath();
    if (!state.ProgramFolder.endsWith(u'/'))
        state.ProgramFolder += u'/';
    LoadSettings(state.settings, state.ProgramFolder);
    if (savePath.isEmpty())
        savePath = state.settings.arrSavePathHistory[0];
    if (savePath.isEmpty())
        savePath = state.ProgramFolder;
    savePath = QDir(savePath).absolutePath();

    CCliHost host(state, isatty(STDOUT_FILENO) == 1);
    host.SetSavePath(savePath);
    state.job.hNotifyWnd = &host;
    state.StartupReady = 1;

    CStopSignals stopSignals(state);
    int code = kExitOk;
    for (const QString &address : addresses) {
        if (stopSignals.Signal() != 0)
            break;
        host.SetAddress(address);
        ResetJobCounts(state);
        OnGetListClick(state, host);
        state.WaitForJobs();
        const AddressOutcome outcome = TakeOutcome(state);
        host.SetStatus1(SummaryLine(address, outcome));
        if (!Succeeded(outcome))
            code = kExitFailed;
    }
    return stopSignals.Signal() != 0 ? 128 + stopSignals.Signal() : code;
}
