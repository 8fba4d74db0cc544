#pragma once

#include <QString>

// The one way the engine talks to the user directly: a plain message box with
// an OK button, or a question.  The window shows a QMessageBox on the GUI
// thread (also when a worker thread asks); the headless front end prints;
// tests record the texts.
class IMessageBox
{
public:
    virtual ~IMessageBox() = default;
    virtual void ShowMessage(const QString &text) = 0;
    // A yes/no question; true for yes.  Where nobody can answer, the text is
    // shown and the answer is no.
    virtual bool AskYesNo(const QString &text)
    {
        ShowMessage(text);
        return false;
    }
};
