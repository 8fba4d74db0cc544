#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class IMessageBox;

// Makes a log-in browser (dialog 133) on a start address, owned by `owner`
// when it is not null.  The program installs the Qt WebEngine one; a build
// without WebEngine has none.
using LoginBrowserFactory = std::function<std::unique_ptr<QDialog>(QWidget *owner, const QString &address)>;

// The main window's side of the log-in browser: at most one modeless
// browser, kept until the next log-in command; modal ones end with their run.
// GUI thread only.
class CLoginBrowserHost
{
public:
    CLoginBrowserHost() = default;
    // The modeless browser goes first, while the factory (and the browser
    // profile it holds) is still there.
    ~CLoginBrowserHost();
    CLoginBrowserHost(const CLoginBrowserHost &) = delete;
    CLoginBrowserHost &operator=(const CLoginBrowserHost &) = delete;

    void SetFactory(LoginBrowserFactory factory) { factory_ = std::move(factory); }

    // A log-in command: an earlier modeless browser is destroyed; then a new
    // one opens modeless and owned by `owner` (LoginMode1), or modal without
    // owner through `runModal`.
    void Open(const QString &address, bool modeless, QWidget *owner,
              const std::function<int(QDialog &)> &runModal, IMessageBox &messages);
    // A modal browser without owner; its result, 0 when there is no browser.
    int RunModal(const QString &address, const std::function<int(QDialog &)> &runModal, IMessageBox &messages);
    // True when there is a browser to show.
    bool Available() const { return bool(factory_); }

    QDialog *Modeless() const { return modeless_; }

private:
    std::unique_ptr<QDialog> Make(QWidget *owner, const QString &address, IMessageBox &messages);

    LoginBrowserFactory factory_;
    QPointer<QDialog> modeless_;
};
