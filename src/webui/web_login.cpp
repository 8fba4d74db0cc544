#include "webui/web_login.h"

#include "net/cookie_store.h"
#include "webui/dlg_web_open.h"
#include "webui/web_login_profile.h"

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

LoginBrowserFactory WebLoginBrowserFactory()
{
    auto profile = std::make_shared<std::unique_ptr<CWebLoginProfile>>();
    return [profile](QWidget *owner, const QString &address) -> std::unique_ptr<QDialog> {
        if (!*profile)
            *profile = std::make_unique<CWebLoginProfile>(CWebLoginProfile::DefaultStorageFolder(),
                                                          CCookieStore::Instance());
        auto dialog = std::make_unique<CDlgWebOpen>(**profile, owner);
        dialog->SetStartAddress(address);
        return dialog;
    };
}
