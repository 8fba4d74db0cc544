#pragma once

#include "net/cookie_bridge.h"

#include <QString>

#include <memory>

class CWebCookieSync;
class QWebEngineProfile;

// The log-in browser's WebEngine profile: kept on disk (not off the record),
// so a log-in lasts across runs as the platform browser's did, and tied to
// the fetcher's cookie store.  One per process at a time; GUI thread only.
// Every page made on it must go before it does.
class CWebLoginProfile
{
public:
    CWebLoginProfile(const QString &storageFolder, ICookieBridge &bridge);
    ~CWebLoginProfile();
    CWebLoginProfile(const CWebLoginProfile &) = delete;
    CWebLoginProfile &operator=(const CWebLoginProfile &) = delete;

    // "Lumbrack/Ostrel/browser" in the user's data folder, beside the cookie file.
    static QString DefaultStorageFolder();

    QWebEngineProfile *Profile() const { return profile_.get(); }
    // A log-in dialog opens: the fetcher's cookies go into the browser.
    void DialogOpening();
    // A log-in dialog closed: its cookies go to disk now.
    void DialogClosed();

private:
    ICookieBridge &bridge_;
    std::unique_ptr<QWebEngineProfile> profile_;
    std::unique_ptr<CWebCookieSync> sync_;
};
