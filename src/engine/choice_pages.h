#pragma once

// The pages of a product's choices, loaded several at a time and each read
// into its record on the thread that loaded it, while the collection takes
// them one by one in page order.

#include "engine/page_source.h"
#include "engine/product_record.h"

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

inline constexpr int kChoicePagesAtOnce = 6; // a browser loads one at a time

class CChoicePages
{
public:
    // Starts loading `urls` from `source` at once.  `pStop` (the download's
    // stop flag) ends every load and every wait.
    CChoicePages(const QStringList &urls, const std::atomic<bool> *pStop, const ST_PAGESOURCE &source = {});
    // Ends the loads still running and waits for their threads.
    ~CChoicePages();
    CChoicePages(const CChoicePages &) = delete;
    CChoicePages &operator=(const CChoicePages &) = delete;

    // Waits for page `i`: its record, or nothing when it could not be loaded
    // or a stop came first.
    std::optional<ST_PRODUCTPAGE> Take(int i);
    // True once a page met the shop's log-in gate or check page.
    bool Gated() const { return m_bGated.load(); }

private:
    void LoadPages();

    const QStringList m_urls;
    const std::atomic<bool> *m_pStop;
    const ST_PAGESOURCE m_source;
    std::atomic<bool> m_bAbort{false}; // abort flag of every load
    std::atomic<int> m_nNext{0};       // next page a loader takes
    std::atomic<bool> m_bGated{false};

    std::mutex m_mtx;
    std::condition_variable m_cv;
    std::vector<std::optional<ST_PRODUCTPAGE>> m_pages; // guarded by m_mtx
    std::vector<bool> m_done;                           // guarded by m_mtx

    std::vector<std::thread> m_loaders;
};
