#include "ui/login_browser.h"

#include "util/message_box.h"

CLoginBrowserHost::~CLoginBrowserHost()
{
    delete modeless_.data();
}

std::unique_ptr<QDialog> CLoginBrowserHost::Make(QWidget *owner, const QString &address, IMessageBox &messages)
{
    if (!factory_) {
        messages.ShowMessage(QStringLiteral("登录浏览器不可用：本程序构建时没有带上 Qt WebEngine。"));
        return nullptr;
    }
    return factory_(owner, address);
}

void CLoginBrowserHost::Open(const QString &address, bool modeless, QWidget *owner,
                             const std::function<int(QDialog &)> &runModal, IMessageBox &messages)
{
    delete modeless_.data();
    if (!modeless) {
        RunModal(address, runModal, messages);
        return;
    }
    std::unique_ptr<QDialog> dialog = Make(owner, address, messages);
    if (!dialog)
        return;
    // Owned by the window from here on (its child).
    modeless_ = dialog.release();
    modeless_->show();
}

int CLoginBrowserHost::RunModal(const QString &address, const std::function<int(QDialog &)> &runModal,
                                IMessageBox &messages)
{
    const std::unique_ptr<QDialog> dialog = Make(nullptr, address, messages);
    return dialog ? runModal(*dialog) : 0;
}
