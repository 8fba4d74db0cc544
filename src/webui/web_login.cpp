#include "webui/web_login.h"

#include "webui/dlg_web_open.h"

LoginBrowserFactory WebLoginBrowserFactory(std::shared_ptr<CWebSession> session)
{
    return [session](QWidget *owner, const QString &address) -> std::unique_ptr<QDialog> {
        auto dialog = std::make_unique<CDlgWebOpen>(session->Profile(), owner);
        dialog->SetStartAddress(address);
        return dialog;
    };
}
