#pragma once

#include "util/message_box.h"

#include <QPointer>
#include <QWidget>

// Caption of the program's message boxes.
QString MessageBoxCaption();

// Message boxes of the window: a QMessageBox on the GUI thread, also when a
// worker asks (the worker then waits for OK, the GUI thread does not wait).
class CGuiThreadGate;

class CQtMessageBox : public IMessageBox
{
public:
    // `gate` hands worker calls to the GUI thread; without one, only the GUI
    // thread may call.
    CQtMessageBox(QWidget *parent, CGuiThreadGate *gate) : parent_(parent), gate_(gate) {}
    void ShowMessage(const QString &text) override;
    bool AskYesNo(const QString &text) override;

private:
    QPointer<QWidget> parent_;
    CGuiThreadGate *gate_ = nullptr;  // not owned
};

// Shows `text` with an OK button, modal to `parent`, on the calling (GUI) thread.
void ShowMessageNow(QWidget *parent, const QString &text);
