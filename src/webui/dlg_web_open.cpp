#include "webui/dlg_web_open.h"

#include "ui/clipboard_text.h"
#include "ui/control_ids.h"
#include "ui/dialog_builder.h"
#include "ui/dialog_template.h"
#include "webui/web_login_profile.h"

#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
constexpr int kAddressGap = 5;

PixRect Geometry(const QWidget *w)
{
    return {w->x(), w->y(), w->width(), w->height()};
}

void Place(QWidget *w, const PixRect &r)
{
    w->setGeometry(r.x, r.y, r.width, r.height);
}
} // namespace

WebOpenLayout LayoutWebOpen(const WebOpenLayout &current, int w, int h)
{
    WebOpenLayout next = current;
    next.browser.width = w - current.browser.x;
    next.browser.height = h - current.browser.y;
    next.button.x = w - current.button.width;
    next.address.width = next.button.x - kAddressGap - current.address.x;
    return next;
}

CDlgWebOpen::CDlgWebOpen(CWebLoginProfile &profile, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                          | Qt::WindowCloseButtonHint)
    , profile_(profile)
{
    const DlgTemplate &tpl = WebOpenDialogTemplate();
    setWindowTitle(QString::fromUtf8(tpl.caption));
    BuildDialogControls(this, tpl, BaseUnitsForFont(DialogFont()), [this](const CtlTemplate &, QWidget *client) {
        browser_ = new QWebEngineView(client);
        // The page is the view's child, so it goes before the profile does.
        browser_->setPage(new QWebEnginePage(profile_.Profile(), browser_));
        return browser_;
    });
    // The builder fixes the size; this dialog is resizable from its template size.
    const QSize size = this->size();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(size);
    address_ = GetDlgItemAs<QLineEdit>(this, IDC_WEB_ADDRESS);
    open_ = GetDlgItemAs<QPushButton>(this, IDC_WEB_OPEN);
    connect(open_, &QPushButton::clicked, this, &CDlgWebOpen::OnOpen);
    profile_.DialogOpening();
}

CDlgWebOpen::~CDlgWebOpen()
{
    profile_.DialogClosed();
}

QWidget *CDlgWebOpen::Item(int id) const
{
    return GetDlgItem(this, id);
}

void CDlgWebOpen::OnInitDialog()
{
    if (!strStartUrl.isEmpty()) {
        address_->setText(strStartUrl);
        browser_->load(QUrl::fromUserInput(strStartUrl));
    } else {
        address_->setText(GetClipboardText());
    }
}

void CDlgWebOpen::OnOpen()
{
    browser_->load(QUrl::fromUserInput(address_->text()));
}

void CDlgWebOpen::done(int result)
{
    QDialog::done(result);
    profile_.DialogClosed();
}

void CDlgWebOpen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!initDone_) {
        initDone_ = true;
        // The browser's GL surface makes Qt create the window anew once the
        // page shows; an explicit position survives that, the centring would not.
        setAttribute(Qt::WA_Moved);
        OnInitDialog();
    }
}

void CDlgWebOpen::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!browser_)
        return;
    const WebOpenLayout next = LayoutWebOpen({Geometry(address_), Geometry(open_), Geometry(browser_)},
                                             event->size().width(), event->size().height());
    Place(address_, next.address);
    Place(open_, next.button);
    Place(browser_, next.browser);
}
