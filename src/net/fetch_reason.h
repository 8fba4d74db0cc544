#pragma once

#include <QString>

#include <curl/curl.h>

// Why an exchange failed, as the user is told ("HTTP 404", "连接超时" ...).
enum class FetchFailure {
    None,
    BadUrl,
    HostNotFound,
    NoConnection,
    TimedOut,
    TooSlow,
    Cut,
    Status,
    TooLarge,
    OutOfSizeLimits,
    EmptyBody,
    FileNotWritten,
    Aborted,
    LoginRequired, // redirected to a log-in host (ST_URLREQUEST::arrLoginHosts)
    BadCertificate, // the server's TLS certificate was not accepted
    ProxyRefused,   // the proxy refused the tunnel (its answer to CONNECT)
    BadAnswer,      // an answer no client may take as the body asked for: a redirect
                    // without an address, a part for a whole, a broken compressed body
    NotPicture,     // a page (the shop's error page) where a picture was asked for
    Other,
};

// The failure that a libcurl result stands for (CURLE_OK gives None).
FetchFailure FailureOfCurlCode(CURLcode rc);

// Short text for the user; `status` is the HTTP status for Status.
QString FetchFailureText(FetchFailure failure, int status);
