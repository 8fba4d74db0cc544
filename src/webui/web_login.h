#pragma once

#include "ui/login_browser.h"

// Chromium's sandbox cannot start for root: switched off then, and only then.
// Call before the application object exists.
void PrepareWebEngineEnvironment();

// The log-in browser on Qt WebEngine, sharing the process's cookie store.
// The browser profile is made at the first log-in and lives as long as the
// factory (and every copy of it).
LoginBrowserFactory WebLoginBrowserFactory();
