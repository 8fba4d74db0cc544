#include "ui/qt_message_box.h"

#include "ui/gui_thread.h"

#include <QMessageBox>

QString MessageBoxCaption()
{
    return QStringLiteral("Ostrel");
}

void ShowMessageNow(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, MessageBoxCaption(), text, QMessageBox::Ok, parent);
    box.exec();
}

void CQtMessageBox::ShowMessage(const QString &text)
{
    QPointer<QWidget> parent = parent_;
    if (gate_)
        gate_->Run([parent, text] { ShowMessageNow(parent, text); });
    else
        ShowMessageNow(parent, text);
}

bool CQtMessageBox::AskYesNo(const QString &text)
{
    QPointer<QWidget> parent = parent_;
    const auto ask = [parent, text] {
        QMessageBox box(QMessageBox::Question, MessageBoxCaption(), text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    };
    return gate_ ? gate_->Call<bool>(ask, false) : ask();
}
