#include "ui/qt_message_box.h"

#include "ui/dialog_template.h"
#include "ui/gui_thread.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>

#include <algorithm>

namespace {

// Room beside the title for the title bar's icon and buttons.
constexpr int kTitleBarExtra = 140;

// A short text makes a box narrower than its title, which the title bar then
// cuts: the text is given the title's width.
void FitTitle(QMessageBox &box)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    const int title = QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
    label->setMinimumWidth(std::max(label->minimumWidth(), title));
}

} // namespace

QString MessageBoxCaption()
{
    return QString::fromUtf8(MainDialogTemplate().caption);
}

void ShowMessageNow(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, MessageBoxCaption(), text, QMessageBox::Ok, parent);
    FitTitle(box);
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
        FitTitle(box);
        return box.exec() == QMessageBox::Yes;
    };
    return gate_ ? gate_->Call<bool>(ask, false) : ask();
}
