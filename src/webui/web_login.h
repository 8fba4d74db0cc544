#pragma once

#include "ui/login_browser.h"

// What WebEngine needs before the application object exists.  Chromium's
// sandbox cannot start for root: it is switched off then, and only then.
void PrepareWebEngineEnvironment();

// The log-in browser on Qt WebEngine, sharing the process's cookie store.
// The browser profile is made at the first log-in and lives as long as the
// factory (and every copy of it).
LoginBrowserFactory WebLoginBrowserFactory();
