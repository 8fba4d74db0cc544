#pragma once

#include "ui/login_browser.h"
#include "webui/web_session.h"

// The log-in browser on Qt WebEngine, on the session's profile, sharing the
// process's cookie store.
LoginBrowserFactory WebLoginBrowserFactory(std::shared_ptr<CWebSession> session);
