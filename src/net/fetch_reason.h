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
    Other,
};

// The failure that a libcurl result stands for (CURLE_OK gives None).
FetchFailure FailureOfCurlCode(CURLcode rc);

// Short text for the user; `status` is the HTTP status for Status.
QString FetchFailureText(FetchFailure failure, int status);
