#pragma once

#include "util/message_box.h"

#include <QStringList>

// Keeps the texts instead of showing them.
class CRecordingMessageBox : public IMessageBox
{
public:
    void ShowMessage(const QString &text) override { texts.append(text); }
    QStringList texts;
};
