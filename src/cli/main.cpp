// ostrel-cli: the list and download jobs without a window, for scripts.

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/run_summary.h"
#include "cli/stop_signals.h"
#include "core/ext_settings.h"
#include "core/soft_settings.h"
#include "engine/engine_state.h"
#include "engine/job_control.h"
#include "net/cookie_store.h"
#include "net/net_config.h"

#include <QCoreApplication>
#include <QDir>

#ifdef OSTREL_HAVE_WEBENGINE
#include "webui/web_page_reader.h"
#include "webui/web_session.h"

#include <QGuiApplication>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
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

// Every address in turn: its list job, then its download.
int RunAddresses(CEngineState &state, CCliHost &host, const QStringList &addresses, const CStopSignals &stopSignals)
{
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
    return code;
}

QStringList Arguments(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    BlockStopSignals();
    // The command line decides which application object there is: the
    // browser needs a GUI one, offscreen, and its own before it starts.
    CliParse parse = ParseCliOptions(Arguments(argc, argv));
    if (parse.action == CliParse::Help || parse.action == CliParse::Version) {
        std::fputs(qUtf8Printable(parse.text), stdout);
        return Finish(kExitOk);
    }
    if (parse.action == CliParse::UsageError)
        return Fail(parse.text, kExitUsage);
    CliOptions &options = parse.options;
    const QString programFolder = options.programFolder.isEmpty() ? QDir::currentPath() : options.programFolder;
    const bool bBrowser = options.bBrowser || LoadExtSettings(programFolder).bJdBrowserPages;
#ifdef OSTREL_HAVE_WEBENGINE
    std::unique_ptr<QCoreApplication> app;
    if (bBrowser) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        PrepareWebEngineEnvironment();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
#else
    if (options.bBrowser)
        return Fail(QStringLiteral("--browser: this ostrel-cli was built without the embedded browser (Qt WebEngine)"),
                    kExitUsage);
    QCoreApplication app(argc, argv);
#endif
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

    state.ProgramFolder = programFolder;
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
    state.run.bBrowserPages = options.bBrowser;
    if (options.bGetUrls)
        state.run.listNamedPictures = [&host](const ST_DOWNJOB &job) { host.ListPictures(job); };
    state.job.hNotifyWnd = &host;
    state.StartupReady = 1;

    int code = kExitOk;
#ifdef OSTREL_HAVE_WEBENGINE
    if (bBrowser) {
        // The browser lives on this thread's event loop; the jobs run beside it.
        const auto session = std::make_shared<CWebSession>();
        const std::unique_ptr<CWebPageReader> reader = CWebSession::MakePageReader(session);
        state.pPageBrowser = reader.get();
        std::thread jobs([&] {
            code = RunAddresses(state, host, addresses, stopSignals);
            QMetaObject::invokeMethod(app.get(), &QCoreApplication::quit, Qt::QueuedConnection);
        });
        app->exec();
        jobs.join();
        state.pPageBrowser = nullptr;
    } else {
        code = RunAddresses(state, host, addresses, stopSignals);
    }
#else
    Q_UNUSED(bBrowser);
    code = RunAddresses(state, host, addresses, stopSignals);
#endif
    // Cookie saves are throttled while the jobs run; the rest goes now.
    CCookieStore::Instance().Flush();
    return Finish(stopSignals.Signal() != 0 ? 128 + stopSignals.Signal() : code);
}
