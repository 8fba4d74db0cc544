// A local shop for the download benchmark: one product page whose picture
// strip lists N pictures, each answered after a fixed latency.  Also writes
// the program folder's soft.dat (15 threads) and a curl configuration that
// fetches the same pictures.
//
// usage: bench_shop PROGRAM_FOLDER COUNT SIZE_BYTES LATENCY_MS
// Prints the port on its first line, then serves until stopped.

#include "core/soft_settings.h"

#include <httplib.h>

#include <QString>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::atomic<bool> g_stop{false}; // set by the signal handler

void OnSignal(int)
{
    g_stop = true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_shop PROGRAM_FOLDER COUNT SIZE_BYTES LATENCY_MS\n");
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
    server.new_task_queue = [] { return new httplib::ThreadPool(48); };
    const int port = server.bind_to_any_port("127.0.0.1");
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    std::string page = "<html><head><meta charset=\"gbk\"></head><body><div id=\"product-intro\">"
                       "<h1>bench product</h1><ul class=\"spec-items\">\n";
    std::ofstream curlConfig(folder + "/curl.cfg");
    for (int i = 0; i < count; ++i) {
        const std::string name = "p" + std::to_string(i) + ".jpg";
        page += "<li><img src='" + base + "/n5/" + name + "' alt=''></li>\n";
        curlConfig << "url = \"" << base << "/n12/" << name << "\"\noutput = \"curl/" << name << "\"\n";
    }
    page += "</ul></div></body></html>\n";
    curlConfig.close();

    std::string picture(size, 'x');
    picture[0] = '\xFF';
    picture[1] = '\xD8';
    server.Get("/item.jd.com/1.html", [&](const httplib::Request &, httplib::Response &res) {
        res.set_content(page, "text/html");
    });
    server.Get(R"(/n12/p\d+\.jpg)", [&](const httplib::Request &, httplib::Response &res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs));
        res.set_content(picture, "image/jpeg");
    });

    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::thread listener([&] { server.listen_after_bind(); });
    std::printf("%d\n", port);
    std::fflush(stdout);
    while (!g_stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    server.stop();
    listener.join();
    return 0;
}
