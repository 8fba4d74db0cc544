#include "ui/clipboard_text.h"

#include <QClipboard>
#include <QGuiApplication>

QString GetClipboardText()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return {};
    QString text = clipboard->text(QClipboard::Clipboard);
    const qsizetype zero = text.indexOf(QChar(u'\0'));
    if (zero >= 0)
        text.truncate(zero);
    return text;
}

QString StartupAddressFromClipboard(const QString &clipboardText)
{
    const QString trimmed = clipboardText.trimmed();
    if (trimmed.isEmpty() || trimmed.size() >= 200)
        return {};
    return trimmed;
}
