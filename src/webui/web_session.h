#pragma once

#include <memory>

class CWebLoginProfile;
class CWebPageReader;

// What WebEngine needs before the application object exists.  Chromium's
// sandbox cannot start for root: it is switched off then, and only then.
void PrepareWebEngineEnvironment();

// The browser side of a front end: one log-in profile, made at its first use
// and shared by the log-in dialogs and the page reader, so a log-in in one
// is the other's.  GUI thread only; goes before the application object.
class CWebSession
{
public:
    CWebSession();
    ~CWebSession();
    CWebSession(const CWebSession &) = delete;
    CWebSession &operator=(const CWebSession &) = delete;

    CWebLoginProfile &Profile();

    // A page reader on this session's profile; it keeps the session alive.
    static std::unique_ptr<CWebPageReader> MakePageReader(const std::shared_ptr<CWebSession> &session);

private:
    std::unique_ptr<CWebLoginProfile> profile_;
};
