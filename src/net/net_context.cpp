#include "net/net_context.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace {
// Used handles kept for reuse; more than the 15 workers never wait at once.
constexpr size_t kMaxSpareHandles = 32;
// The loop looks at the time-outs at least this often (ms).
constexpr long long kMaxWaitMs = 1000;

// Big pictures arrive in few large reads rather than many 16 KB ones.
constexpr long kReceiveBuffer = 256 * 1024;
// The parsed CA store is kept this long by the multi handle (s).
constexpr long kCaCacheSeconds = 24 * 60 * 60;

void SetContextOptions(CURL *c)
{
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_2TLS));
    curl_easy_setopt(c, CURLOPT_CA_CACHE_TIMEOUT, kCaCacheSeconds);
    // libcurl caches a CA store only when it comes from a bundle file alone;
    // the bundle holds the same certificates as the folder.
    curl_easy_setopt(c, CURLOPT_CAPATH, nullptr);
}

struct Job
{
    CURL *easy;
    const std::function<long long()> *msLeft;
    CURLcode result = CURLE_OK;
    bool done = false;
    std::condition_variable cv; // wakes only the caller of this transfer
};
} // namespace

struct CNetContext::Impl
{
    CurlMultiPtr multi;

    std::mutex mtx; // guards pending, stop, thread start and every Job::done
    std::vector<Job *> pending;
    bool stop = false;
    std::thread thread;

    std::vector<Job *> active; // the loop's thread only

    std::mutex spareMtx;
    std::vector<CurlEasyPtr> spare;

    void Finish(Job *job, CURLcode result)
    {
        curl_multi_remove_handle(multi.get(), job->easy);
        active.erase(std::find(active.begin(), active.end(), job));
        std::lock_guard lock(mtx);
        job->result = result;
        job->done = true;
        job->cv.notify_one();
    }

    // False once stopped with nothing left to run.
    bool TakePending()
    {
        std::vector<Job *> added;
        {
            std::lock_guard lock(mtx);
            if (stop && pending.empty() && active.empty())
                return false;
            added.swap(pending);
        }
        for (Job *job : added) {
            active.push_back(job);
            if (curl_multi_add_handle(multi.get(), job->easy) != CURLM_OK)
                Finish(job, CURLE_OUT_OF_MEMORY);
        }
        return true;
    }

    void Loop()
    {
        while (TakePending()) {
            int running = 0;
            const bool performed = curl_multi_perform(multi.get(), &running) == CURLM_OK;
            int queued = 0;
            while (const CURLMsg *msg = curl_multi_info_read(multi.get(), &queued)) {
                if (msg->msg != CURLMSG_DONE)
                    continue;
                const auto it = std::find_if(active.begin(), active.end(),
                                             [&](const Job *j) { return j->easy == msg->easy_handle; });
                if (it != active.end())
                    Finish(*it, msg->data.result);
            }
            long long wait = kMaxWaitMs;
            for (Job *job : std::vector<Job *>(active)) {
                const long long left = performed ? (*job->msLeft)() : -1;
                if (left < 0)
                    Finish(job, performed ? CURLE_OPERATION_TIMEDOUT : CURLE_FAILED_INIT);
                else
                    wait = std::min(wait, left + 1);
            }
            curl_multi_poll(multi.get(), nullptr, 0, int(std::max(wait, 1LL)), nullptr);
        }
    }
};

CNetContext::CNetContext() : d(std::make_unique<Impl>())
{
    EnsureCurlGlobalInit();
    d->multi.reset(curl_multi_init());
    if (!d->multi)
        throw std::bad_alloc();
}

CNetContext::~CNetContext()
{
    {
        std::lock_guard lock(d->mtx);
        d->stop = true;
    }
    curl_multi_wakeup(d->multi.get());
    if (d->thread.joinable())
        d->thread.join();
}

CNetContext &CNetContext::Default()
{
    alignas(CNetContext) static unsigned char storage[sizeof(CNetContext)];
    static CNetContext *const context = new (storage) CNetContext;
    return *context;
}

CurlEasyPtr CNetContext::TakeHandle()
{
    {
        std::lock_guard lock(d->spareMtx);
        if (!d->spare.empty()) {
            CurlEasyPtr h = std::move(d->spare.back());
            d->spare.pop_back();
            // libcurl 7.88 loses the cookie file list in a reset.
            curl_easy_setopt(h.get(), CURLOPT_COOKIEFILE, nullptr);
            curl_easy_reset(h.get());
            SetContextOptions(h.get());
            return h;
        }
    }
    EnsureCurlGlobalInit();
    CurlEasyPtr h(curl_easy_init());
    if (h)
        SetContextOptions(h.get());
    return h;
}

void CNetContext::ReturnHandle(CurlEasyPtr handle)
{
    if (!handle)
        return;
    std::lock_guard lock(d->spareMtx);
    if (d->spare.size() < kMaxSpareHandles)
        d->spare.push_back(std::move(handle));
}

CURLcode CNetContext::Perform(CURL *easy, const std::function<long long()> &msLeft)
{
    Job job{easy, &msLeft};
    {
        std::lock_guard lock(d->mtx);
        if (!d->thread.joinable()) {
            try {
                d->thread = std::thread([impl = d.get()] { impl->Loop(); });
            } catch (const std::system_error &) {
                return CURLE_FAILED_INIT;
            }
        }
        d->pending.push_back(&job);
    }
    curl_multi_wakeup(d->multi.get());
    std::unique_lock lock(d->mtx);
    job.cv.wait(lock, [&] { return job.done; });
    return job.result;
}
