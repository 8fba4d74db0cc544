#pragma once

#include "engine/page_browser.h"

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

class CWebLoginProfile;

// Reads product pages in a hidden WebEngine page on the log-in profile: its
// cookies and log-in, and the page's scripts run, so a script check passes
// by itself.  A page counts as read once the product's configuration is
// there, or once it has finished loading and stayed quiet for a moment and
// is no check page; at the time cap a parsed document is taken as it is.
// Images are not loaded: the fetcher downloads the pictures.
//
// The reader lives on the GUI thread; LoadPage may be called from any thread
// (on the GUI thread it runs a local event loop).  No window is ever shown.
class CWebPageReader final : public QObject, public IPageBrowser
{
    Q_OBJECT
public:
    // `profile` gives the log-in profile, made at the first page; it is
    // called on the GUI thread and the profile outlives the reader.
    explicit CWebPageReader(std::function<CWebLoginProfile &()> profile, QObject *parent = nullptr);
    ~CWebPageReader() override;

    bool LoadPage(const QString &url, uint32_t timeoutMs, const std::atomic<bool> *pAbort, ST_LOADEDPAGE &page,
                  QString *reason) override;

    struct Request;
    class Load;

private:
    void Start(const std::shared_ptr<Request> &request);
    // Drops the page of `request` if it is still the current one.
    void Cancel(const std::shared_ptr<Request> &request);

    std::function<CWebLoginProfile &()> profile_;
    std::mutex mtxOne_;            // one page at a time, whichever thread asks
    std::unique_ptr<Load> load_;   // GUI thread
};
