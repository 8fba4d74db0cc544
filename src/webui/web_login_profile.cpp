#include "webui/web_login_profile.h"

#include "webui/web_cookie_sync.h"

#include <QDir>
#include <QStandardPaths>
#include <QWebEngineProfile>

CWebLoginProfile::CWebLoginProfile(const QString &storageFolder, ICookieBridge &bridge)
    : bridge_(bridge), profile_(std::make_unique<QWebEngineProfile>(QStringLiteral("login")))
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
