#include "webui/web_login_profile.h"

#include "webui/web_cookie_sync.h"

#include <QDir>
#include <QNetworkProxyFactory>
#include <QStandardPaths>
#include <QWebEngineProfile>

namespace {

// The browser goes the way the fetcher goes: through the proxy the system
// names, here the environment's variables.  Chromium reads it when the first
// profile starts.
std::unique_ptr<QWebEngineProfile> MakeProfile()
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    return std::make_unique<QWebEngineProfile>(QStringLiteral("login"));
}

} // namespace

CWebLoginProfile::CWebLoginProfile(const QString &storageFolder, ICookieBridge &bridge)
    : bridge_(bridge), profile_(MakeProfile())
{
    QDir().mkpath(storageFolder);
    profile_->setPersistentStoragePath(storageFolder);
    profile_->setCachePath(storageFolder + QStringLiteral("/cache"));
    // Session cookies end with the process, as in the fetcher's store.
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    sync_ = std::make_unique<CWebCookieSync>(profile_->cookieStore(), bridge_);
}

CWebLoginProfile::~CWebLoginProfile()
{
    sync_.reset();
    bridge_.BrowserClosed();
}

QString CWebLoginProfile::DefaultStorageFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Lumbrack/Ostrel/browser");
}

void CWebLoginProfile::DialogOpening()
{
    sync_->LoadIntoBrowser();
}

void CWebLoginProfile::DialogClosed()
{
    bridge_.BrowserClosed();
}
