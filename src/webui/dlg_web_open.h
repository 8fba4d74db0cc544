#pragma once

#include "ui/dialog_units.h"

#include <QDialog>
#include <QString>

class CWebLoginProfile;
class QLineEdit;
class QPushButton;
class QWebEngineView;

// Where the controls of the log-in browser go for a client size: the
// browser keeps its left and top and reaches the right and bottom edges, the
// button "打开" moves so its right edge lies on the client's, keeping its top
// and size, and the address box keeps its left edge and ends 5 pixels left of
// the button.
struct WebOpenLayout
{
    PixRect address;
    PixRect button;
    PixRect browser;
};
WebOpenLayout LayoutWebOpen(const WebOpenLayout &current, int clientWidth, int clientHeight);

// The log-in browser (dialog 133): the user signs in on the site's own page
// and closes the dialog by hand; the cookies it leaves go to the fetcher.
class CDlgWebOpen : public QDialog
{
    Q_OBJECT
public:
    CDlgWebOpen(CWebLoginProfile &profile, QWidget *parent = nullptr);
    ~CDlgWebOpen() override;

    // Set before the dialog is shown; empty: the clipboard's text goes into
    // the address box and nothing is loaded.
    void SetStartAddress(const QString &address) { strStartUrl = address; }

    QWidget *Item(int id) const;
    QWebEngineView *Browser() const { return browser_; }

    // "打开" (also Enter): the browser goes to the address box's text.
    void OnOpen();

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void OnInitDialog();

    CWebLoginProfile &profile_;
    QString strStartUrl;
    QLineEdit *address_ = nullptr;
    QPushButton *open_ = nullptr;
    QWebEngineView *browser_ = nullptr;
    bool initDone_ = false;
};
