#pragma once

#include "util/message_box.h"

#include <QApplication>
#include <QStringList>

#include <mutex>

// The QApplication of the test program (made by tests/widget_test_main.cpp).
inline QApplication &TestApp()
{
    return *static_cast<QApplication *>(QCoreApplication::instance());
}

// Records message box texts instead of showing them.
class CRecordingMessageBox : public IMessageBox
{
public:
    void ShowMessage(const QString &text) override
    {
        const std::lock_guard lock(mtx_);
        texts_.append(text);
    }
    QStringList Texts() const
    {
        const std::lock_guard lock(mtx_);
        return texts_;
    }

private:
    mutable std::mutex mtx_;
    QStringList texts_;
};
