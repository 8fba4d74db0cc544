#include "webui/web_session.h"

#include "net/cookie_store.h"
#include "webui/web_login_profile.h"
#include "webui/web_page_reader.h"

#include <QCoreApplication>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

void PrepareWebEngineEnvironment()
{
    // WebEngine shares its GL contexts with the widgets' ones.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
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
