// ostrel-cli: the list and download jobs without a window, for scripts.

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/run_summary.h"
#include "cli/stop_signals.h"
#include "core/soft_settings.h"
#include "engine/engine_state.h"
#include "engine/job_control.h"
#include "net/cookie_store.h"
#include "net/net_config.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Fail(const QString &text, int code)
{
    std::fprintf(stderr, "ostrel-cli: %s\n%s", qUtf8Printable(text),
                 code == kExitUsage ? "Try 'ostrel-cli --help'.\n" : "");
    return code;
}

// Standard output took everything written to it: a full disk or a closed
// reader is an error of the run, not a silent loss of the listing.
bool StdoutWritten()
{
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    const int flushErrno = errno;
    if (std::fclose(stdout) == 0 && flushed)
        return true;
    const int error = flushErrno ? flushErrno : errno ? errno : EIO;
    std::fprintf(stderr, "ostrel-cli: 无法写入标准输出: %s\n", std::strerror(error));
    return false;
}

int Finish(int code)
{
    return StdoutWritten() || code != kExitOk ? code : kExitFailed;
}

} // namespace

int main(int argc, char *argv[])
{
    BlockStopSignals();
    QCoreApplication app(argc, argv);
    CliParse parse = ParseCliOptions(QCoreApplication::arguments());
    if (parse.action == CliParse::Help || parse.action == CliParse::Version) {
        std::fputs(qUtf8Printable(parse.text), stdout);
        return Finish(kExitOk);
    }
    if (parse.action == CliParse::UsageError)
        return Fail(parse.text, kExitUsage);
    CliOptions &options = parse.options;
    CEngineState state;
    // From here a signal ends the program, even one waiting for a list of
    // addresses on a pipe that nobody writes to.
    CStopSignals stopSignals(state);
    QString error;
    if (!ReadInputFiles(options, error))
        return Fail(error, kExitUsage);
    const QStringList &addresses = options.addresses;
    QString savePath = options.savePath;

    // The curl tool's convention, so scripts can trust a test CA.
    const QString caBundle = qEnvironmentVariable("CURL_CA_BUNDLE");
    if (!caBundle.isEmpty())
        SetTlsCaFile(caBundle);

    state.ProgramFolder = options.programFolder.isEmpty() ? QDir::currentPath() : options.programFolder;
    if (!state.ProgramFolder.endsWith(u'/'))
        state.ProgramFolder += u'/';
    LoadSettings(state.settings, state.ProgramFolder);
    if (savePath.isEmpty())
        savePath = state.settings.arrSavePathHistory[0];
    if (savePath.isEmpty())
        savePath = QDir::currentPath();
    savePath = QDir(savePath).absolutePath();

    CCliHost host(state, isatty(STDOUT_FILENO) == 1, !options.bQuiet && !options.bGetUrls);
    host.SetSavePath(savePath);
    state.run = options.run;
    if (options.bGetUrls)
        state.run.listNamedPictures = [&host](const ST_DOWNJOB &job) { host.ListPictures(job); };
    state.job.hNotifyWnd = &host;
    state.StartupReady = 1;

    int code = kExitOk;
    for (const QString &address : addresses) {
        if (stopSignals.Signal() != 0)
            break;
        host.SetAddress(address);
        ResetJobCounts(state);
        OnGetListClick(state, host);
        state.WaitForJobs();
        const AddressOutcome outcome = TakeOutcome(state);
        host.PrintSummary(SummaryLine(address, outcome));
        if (!Succeeded(outcome))
            code = kExitFailed;
    }
    // Cookie saves are throttled while the jobs run; the rest goes now.
    CCookieStore::Instance().Flush();
    return Finish(stopSignals.Signal() != 0 ? 128 + stopSignals.Signal() : code);
}
