#pragma once

// A web server on 127.0.0.1 that poses as the shop and its picture hosts.
// Pages and pictures are registered by full address ("http://host/path");
// requests arrive either directly ("http://127.0.0.1:port/path") or through
// the proxy variable, in which case the address is the request target.
// It also misbehaves on request, one fault per address: error statuses and
// empty bodies (Put with a status), redirects anywhere (PutRedirect), a
// connection cut mid-body, a trickle, an endless body (PutFault), and any
// header of its choosing (Answer::headers: an encoding, a cookie storm).

#include <httplib.h>

#include "util/codepage.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class FakeShop
{
public:
    enum class Fault {
        None,
        CutMidBody, // announces the whole body, sends half of it, closes the connection
        Trickle,    // sends the body one byte every trickleMs
        Endless,    // sends 64 KiB chunks until the client gives up
    };

    struct Answer
    {
        std::string body;
        std::string contentType = "text/html; charset=utf-8";
        int status = 200;
        int delayMs = 0;
        Fault fault = Fault::None;
        int trickleMs = 100;
        std::string location; // sent as Location when status is 3xx (may be empty)
        std::vector<std::pair<std::string, std::string>> headers; // sent as they are
    };

    FakeShop()
    {
        m_server.new_task_queue = [] { return new httplib::ThreadPool(40); };
        // The fetcher keeps its connections; a shop that kept them too would
        // wait for them at its stop.
        m_server.set_keep_alive_max_count(1);
        m_server.Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
            Serve(req, res);
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        for (int i = 0; i < 500 && !m_server.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~FakeShop()
    {
        m_stopping = true; // ends trickles and endless bodies
        m_server.stop();
        m_thread.join();
    }
    FakeShop(const FakeShop &) = delete;
    FakeShop &operator=(const FakeShop &) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:port" + path, for tests that do not use the proxy.
    std::string Direct(const std::string &path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }
    std::string ProxyUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    void Put(const std::string &url, Answer answer)
    {
        std::lock_guard lock(m_mtx);
        m_answers[url] = std::move(answer);
    }
    // Pages of this shop are GBK, as the page reader expects; `html` is UTF-8.
    void PutPage(const std::string &url, const std::string &html, int delayMs = 0)
    {
        Put(url, {WideToGbk(QString::fromStdString(html)).toStdString(), "text/html; charset=gbk", 200, delayMs});
    }
    void PutPicture(const std::string &url, const std::string &bytes, int delayMs = 0)
    {
        Put(url, {bytes, "image/jpeg", 200, delayMs});
    }

    void PutFault(const std::string &url, Fault fault, const std::string &body = std::string(4096, 'x'))
    {
        Answer a{body, "image/jpeg"};
        a.fault = fault;
        Put(url, a);
    }
    void PutRedirect(const std::string &url, const std::string &location, int status = 302)
    {
        Answer a{"moved", "text/plain", status};
        a.location = location;
        Put(url, a);
    }

    // Until a request carries cookie `cookieName`, `url` answers `gate`
    // instead: the shop's log-in redirect, or its check page that sets the
    // cookie by script.
    void PutGate(const std::string &url, const std::string &cookieName, Answer gate)
    {
        std::lock_guard lock(m_mtx);
        m_gates[url] = {cookieName + "=", std::move(gate)};
    }

    // Every address asked for, in order of arrival.
    std::vector<std::string> Requests() const
    {
        std::lock_guard lock(m_mtx);
        return m_requests;
    }
    int Count(const std::string &url) const
    {
        const auto r = Requests();
        return int(std::count(r.begin(), r.end(), url));
    }
    // Requests for addresses that begin with `prefix` ("http://img.jd.com/": the pictures).
    int CountStartingWith(const std::string &prefix) const
    {
        const auto r = Requests();
        return int(std::count_if(r.begin(), r.end(), [&](const std::string &u) { return u.rfind(prefix, 0) == 0; }));
    }
    // The Referer header of the last request for `url`.
    std::string Referer(const std::string &url) const
    {
        std::lock_guard lock(m_mtx);
        const auto it = m_referers.find(url);
        return it == m_referers.end() ? std::string() : it->second;
    }
    int MaxConcurrent() const { return m_maxBusy.load(); }
    void ResetLog()
    {
        std::lock_guard lock(m_mtx);
        m_requests.clear();
        m_maxBusy = 0;
    }
    // Arrival times (ms since the server started) of each request.
    std::vector<long long> ArrivalMs() const
    {
        std::lock_guard lock(m_mtx);
        return m_arrivals;
    }

private:
    void Serve(const httplib::Request &req, httplib::Response &res)
    {
        std::string url = req.path;
        if (url.rfind("http://", 0) != 0) {
            std::string host = req.get_header_value("Host");
            url = "http://" + host + req.path;
        } else {
            // A proxied request names its port only when it is not 80.
            const auto hostEnd = url.find('/', 7);
            const auto colon = url.rfind(":80", hostEnd);
            if (colon != std::string::npos && colon > 7 && colon + 3 == hostEnd)
                url.erase(colon, 3);
        }
        if (!req.params.empty()) {
            std::string query;
            for (const auto &[k, v] : req.params)
                query += (query.empty() ? "?" : "&") + k + "=" + v;
            url += query;
        }
        Answer answer;
        bool found = false;
        {
            std::lock_guard lock(m_mtx);
            m_requests.push_back(url);
            m_referers[url] = req.get_header_value("Referer");
            m_arrivals.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - m_started)
                                     .count());
            const auto it = m_answers.find(url);
            if (it != m_answers.end()) {
                answer = it->second;
                found = true;
            }
            const auto gate = m_gates.find(url);
            if (gate != m_gates.end() && req.get_header_value("Cookie").find(gate->second.first) == std::string::npos) {
                answer = gate->second.second;
                found = true;
            }
        }
        const int busy = ++m_busy;
        int seen = m_maxBusy.load();
        while (busy > seen && !m_maxBusy.compare_exchange_weak(seen, busy)) {
        }
        if (answer.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
        --m_busy;
        if (!found) {
            res.status = 404;
            res.set_content("not here", "text/plain");
            return;
        }
        res.status = answer.status;
        if (answer.status >= 300 && answer.status < 400)
            res.set_header("Location", answer.location);
        for (const auto &[name, value] : answer.headers)
            res.headers.emplace(name, value);
        Misbehave(answer, res);
    }

    void Misbehave(const Answer &answer, httplib::Response &res)
    {
        const auto body = std::make_shared<std::string>(answer.body);
        const char *type = answer.contentType.c_str();
        switch (answer.fault) {
        case Fault::None:
            res.set_content(answer.body, type);
            break;
        case Fault::CutMidBody:
            res.set_content_provider(body->size(), type, [body](size_t offset, size_t, httplib::DataSink &sink) {
                if (offset == 0)
                    sink.write(body->data(), body->size() / 2);
                return offset == 0; // false closes the connection
            });
            break;
        case Fault::Trickle:
            res.set_chunked_content_provider(type, [this, body, ms = answer.trickleMs](size_t offset, httplib::DataSink &sink) {
                if (offset >= body->size() || m_stopping) {
                    sink.done();
                    return true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                return sink.write(body->data() + offset, 1);
            });
            break;
        case Fault::Endless:
            res.set_chunked_content_provider(type, [this](size_t, httplib::DataSink &sink) {
                static const std::string chunk(64 * 1024, 'e');
                return !m_stopping && sink.write(chunk.data(), chunk.size());
            });
            break;
        }
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mtx;
    std::map<std::string, Answer> m_answers;
    std::map<std::string, std::pair<std::string, Answer>> m_gates; // cookie that passes, answer without it
    std::vector<std::string> m_requests;
    std::vector<long long> m_arrivals;
    std::map<std::string, std::string> m_referers;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_busy{0};
    std::atomic<int> m_maxBusy{0};
    const std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
};
