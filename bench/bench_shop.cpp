// A local shop for the download benchmark: one product page whose picture
// strip lists N pictures, each answered after a fixed latency.  Also writes
// the program folder's soft.dat (15 threads) and a curl configuration that
// fetches the same pictures.
//
// usage: bench_shop PROGRAM_FOLDER COUNT SIZE_BYTES LATENCY_MS [CERT KEY [PICTURE_BASE]]
// With CERT and KEY the pictures are served over https by a second server;
// the page names them under PICTURE_BASE (default: that server), so that a
// relay can stand in between.  Prints the page port and the picture port on
// its first line, then serves until stopped.
//
// With BENCH_CHOICES=C (and BENCH_PAGE_MS, default 150) the product
// http://item.jd.com/1.html, asked for through the proxy variable, has C
// colour choices, each a page of its own with COUNT pictures of its own; every
// page answers after BENCH_PAGE_MS.  The pictures are (C + 1) x COUNT.

#include "core/soft_settings.h"

#include <httplib.h>

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace {

std::atomic<bool> g_stop{false}; // set by the signal handler

// The library listens with a backlog of 5: fifteen connections opened at once
// would overflow it, and a dropped SYN costs a second.  A listening socket
// takes a new backlog from another listen().
void WidenBacklog(int port)
{
    for (int fd = 3; fd < 1024; ++fd) {
        sockaddr_in addr{};
        socklen_t len = sizeof addr;
        int listening = 0;
        socklen_t optLen = sizeof listening;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) == 0 && addr.sin_family == AF_INET
            && ntohs(addr.sin_port) == port
            && getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &optLen) == 0 && listening)
            listen(fd, 1024);
    }
}

void OnSignal(int)
{
    g_stop = true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5 && argc != 7 && argc != 8) {
        std::fprintf(stderr, "usage: bench_shop PROGRAM_FOLDER COUNT SIZE_BYTES LATENCY_MS "
                             "[CERT KEY [PICTURE_BASE]]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int count = std::stoi(argv[2]);
    const size_t size = std::stoul(argv[3]);
    const int latencyMs = std::stoi(argv[4]);

    SoftSettings settings;
    settings.arrDownload.fill(DownloadParams{0, 0, 15, 30});
    if (!SaveSettings(settings, QString::fromStdString(folder + "/"))) {
        std::fprintf(stderr, "bench_shop: cannot write soft.dat\n");
        return 1;
    }

    httplib::Server server;
    std::unique_ptr<httplib::SSLServer> tls;
    if (argc >= 7) {
        tls = std::make_unique<httplib::SSLServer>(argv[5], argv[6]);
        if (!tls->is_valid()) {
            std::fprintf(stderr, "bench_shop: cannot load %s / %s\n", argv[5], argv[6]);
            return 1;
        }
    }
    httplib::Server &pictures = tls ? *tls : server;
    for (httplib::Server *s : {&server, &pictures}) {
        s->new_task_queue = [] { return new httplib::ThreadPool(48); };
        // As a shop's servers do; the library's default closes after 5 answers.
        s->set_keep_alive_max_count(1000);
        // So do they send at once: with Nagle's algorithm on, the last piece of
        // an answer waits for the client's delayed ACK, 40 ms, now and then.
        s->set_tcp_nodelay(true);
    }
    const int port = server.bind_to_any_port("127.0.0.1");
    const int picturePort = tls ? tls->bind_to_any_port("127.0.0.1") : port;
    const std::string base = argc == 8 ? std::string(argv[7])
                             : tls     ? "https://127.0.0.1:" + std::to_string(picturePort)
                                       : "http://127.0.0.1:" + std::to_string(port);

    const char *choicesEnv = std::getenv("BENCH_CHOICES");
    const int choices = choicesEnv ? std::stoi(choicesEnv) : 0;
    const char *pageMsEnv = std::getenv("BENCH_PAGE_MS");
    const int pageMs = pageMsEnv ? std::stoi(pageMsEnv) : 150;

    std::ofstream curlConfig(folder + "/curl.cfg");
    // The page of product `sku` (1: the one asked for), its strip naming its own pictures.
    auto productPage = [&](int sku) {
        std::string page = "<html><head><meta charset=\"gbk\"></head><body><div id=\"product-intro\">"
                           "<h1>bench product</h1><ul class=\"spec-items\">\n";
        for (int i = 0; i < count; ++i) {
            const std::string name = (choices > 0 ? "s" + std::to_string(sku) + "_" : std::string()) + "p" +
                                     std::to_string(i) + ".jpg";
            page += "<li><img src='" + base + "/n5/" + name + "' alt=''></li>\n";
            curlConfig << "url = \"" << base << "/n12/" << name << "\"\noutput = \"curl/" << name << "\"\n";
        }
        page += "</ul>";
        if (sku == 1 && choices > 0) {
            page += "<div id=\"summary-stock\">";
            for (int c = 0; c <= choices; ++c) {
                const std::string link = "//item.jd.com/" + std::to_string(c == 0 ? 1 : 1000 + c) + ".html";
                page += "<div class=\"item\"><a href=\"" + link + "\" title=\"c" + std::to_string(c) + "\">c" +
                        std::to_string(c) + "</a></div>\n";
            }
            page += "<a class=\"btn-append\">";
        }
        return page + "</div></body></html>\n";
    };
    std::map<std::string, std::string> pages{{"/item.jd.com/1.html", productPage(1)}};
    for (int c = 1; c <= choices; ++c)
        pages["/item.jd.com/" + std::to_string(1000 + c) + ".html"] = productPage(1000 + c);
    curlConfig.close();

    std::string picture(size, 'x');
    picture[0] = '\xFF';
    picture[1] = '\xD8';
    // Pages come as "/item.jd.com/…" or, through the proxy, as "http://item.jd.com/…".
    server.Get(R"(.*/item\.jd\.com/\d+\.html)", [&](const httplib::Request &req, httplib::Response &res) {
        const size_t at = req.path.find("/item.jd.com/");
        const auto it = pages.find(req.path.substr(at));
        if (it == pages.end()) {
            res.status = 404;
            return;
        }
        if (choices > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(pageMs));
        res.set_content(it->second, "text/html");
    });
    pictures.Get(R"(/n12/[\w]+\.jpg)", [&](const httplib::Request &, httplib::Response &res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs));
        res.set_content(picture, "image/jpeg");
    });

    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::thread listener([&] { server.listen_after_bind(); });
    std::thread tlsListener;
    if (tls)
        tlsListener = std::thread([&] { tls->listen_after_bind(); });
    WidenBacklog(port);
    WidenBacklog(picturePort);
    std::printf("%d %d\n", port, picturePort);
    std::fflush(stdout);
    while (!g_stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    server.stop();
    listener.join();
    if (tls) {
        tls->stop();
        tlsListener.join();
    }
    return 0;
}
