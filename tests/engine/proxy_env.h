#pragma once

// Sends every request of this test process to a local server through the
// proxy variable, so that real-looking shop addresses reach it.

#include <cstdlib>
#include <string>

class ProxyEnv
{
public:
    explicit ProxyEnv(const std::string &proxyUrl)
    {
        setenv("http_proxy", proxyUrl.c_str(), 1);
        // The proxy must apply to every host here, 127.0.0.1 included.
        unsetenv("no_proxy");
        unsetenv("NO_PROXY");
    }
    ~ProxyEnv() { unsetenv("http_proxy"); }
    ProxyEnv(const ProxyEnv &) = delete;
    ProxyEnv &operator=(const ProxyEnv &) = delete;
};
