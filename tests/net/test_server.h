#pragma once

// A cpp-httplib server on 127.0.0.1 with a free port, running on its own
// thread for the life of the object.

#include <httplib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

template <class ServerT>
class BasicTestServer
{
public:
    template <class... Args>
    explicit BasicTestServer(Args &&...args) : m_server(std::forward<Args>(args)...)
    {
        // The fetcher keeps its connections open, and a server that keeps
        // them too waits for them at its stop.  Reuse tests call KeepAlive.
        m_server.set_keep_alive_max_count(1);
    }
    void KeepAlive() { m_server.set_keep_alive_max_count(100); }
    ~BasicTestServer() { Stop(); }

    ServerT &Http() { return m_server; }

    // Binds and starts serving; returns once the server accepts connections.
    void Start()
    {
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        for (int i = 0; i < 500 && !m_server.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    void Stop()
    {
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }

    int Port() const { return m_port; }
    std::string Url(const std::string &path, const char *scheme = "http") const
    {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(m_port) + path;
    }

private:
    ServerT m_server;
    int m_port = 0;
    std::thread m_thread;
};

using TestServer = BasicTestServer<httplib::Server>;
