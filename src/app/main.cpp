#include "net/cookie_store.h"
#include "ui/tamblin_app.h"

#ifdef OSTREL_HAVE_WEBENGINE
#include "webui/web_login.h"
#endif

int main(int argc, char *argv[])
{
#ifdef OSTREL_HAVE_WEBENGINE
    PrepareWebEngineEnvironment();
#endif
    CTamblinApp app(argc, argv);
#ifdef OSTREL_HAVE_WEBENGINE
    app.SetLoginBrowserFactory(WebLoginBrowserFactory());
#endif
    const int code = app.InitInstance();
    // Cookie saves are throttled while the program runs; the rest goes now.
    CCookieStore::Instance().Flush();
    return code;
}
