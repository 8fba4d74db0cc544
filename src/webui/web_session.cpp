#include "webui/web_session.h"

#include "net/cookie_store.h"
#include "webui/web_login_profile.h"
#include "webui/web_page_reader.h"

#include <QCoreApplication>
#include <QLocale>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

void PrepareWebEngineEnvironment()
{
    // WebEngine shares its GL contexts with the widgets' ones.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Chromium's own pages (errors, prompts) speak the program's language,
    // Chinese, unless the system names a language of its own.
    const QString system = QLocale::system().name();
    const bool bNamed = !system.isEmpty() && system != QLatin1String("C") && system != QLatin1String("POSIX");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--lang=")) {
        flags += (flags.isEmpty() ? "" : " ") + QByteArray("--lang=") +
                 (bNamed ? QLocale::system().bcp47Name().toLatin1() : QByteArray("zh-CN"));
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
#ifdef Q_OS_UNIX
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
}

CWebSession::CWebSession() = default;
CWebSession::~CWebSession() = default;

CWebLoginProfile &CWebSession::Profile()
{
    if (!profile_)
        profile_ = std::make_unique<CWebLoginProfile>(CWebLoginProfile::DefaultStorageFolder(),
                                                      CCookieStore::Instance());
    return *profile_;
}

std::unique_ptr<CWebPageReader> CWebSession::MakePageReader(const std::shared_ptr<CWebSession> &session)
{
    return std::make_unique<CWebPageReader>([session]() -> CWebLoginProfile & { return session->Profile(); });
}
