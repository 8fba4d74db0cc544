#pragma once

#include "net/curl_handle.h"

#include <functional>
#include <memory>

// Moves the bytes of the requests made through it: one libcurl multi handle
// driven by a thread of its own.  Open connections, TLS sessions, the DNS
// cache and the parsed CA store stay in it from one request to the next, so
// the pictures of a run share a few kept-alive connections (HTTP/2 streams
// where the server offers it) and the CA bundle is read once, not per
// picture.  Callers block in Perform while the context's thread runs their
// transfer; the transfer's libcurl callbacks run on that thread.
class CNetContext
{
public:
    CNetContext();
    // No Perform may still be running.
    ~CNetContext();
    CNetContext(const CNetContext &) = delete;
    CNetContext &operator=(const CNetContext &) = delete;

    // The context of requests that name none.  Never destroyed: detached
    // workers may still be fetching while the process exits.
    static CNetContext &Default();

    // An easy handle for one request, with the context's transfer options
    // (large receive buffer, HTTP/2 over TLS, cached CA store): a used one,
    // reset but keeping its TLS session cache, or a new one.  Null when out of
    // memory.
    CurlEasyPtr TakeHandle();
    void ReturnHandle(CurlEasyPtr handle);

    // Runs the transfer set up on `easy` and returns its result.  `msLeft` is
    // asked on the context's thread after every step of the transfer: below 0
    // ends it with CURLE_OPERATION_TIMEDOUT, else it is how many milliseconds
    // the transfer may go on waiting.
    CURLcode Perform(CURL *easy, const std::function<long long()> &msLeft);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// An easy handle taken from a context for one request, handed back at the end.
class CNetHandle
{
public:
    explicit CNetHandle(CNetContext &net) : m_net(net), m_handle(net.TakeHandle()) {}
    ~CNetHandle() { m_net.ReturnHandle(std::move(m_handle)); }
    CNetHandle(const CNetHandle &) = delete;
    CNetHandle &operator=(const CNetHandle &) = delete;

    CURL *get() const { return m_handle.get(); }
    explicit operator bool() const { return bool(m_handle); }

private:
    CNetContext &m_net;
    CurlEasyPtr m_handle;
};
