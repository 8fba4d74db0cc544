#pragma once

#include <QString>

// The clipboard's plain text, up to its first zero character; empty when the
// clipboard is unavailable or holds no text.
QString GetClipboardText();

// What start-up puts into the address box from the clipboard text: the text
// trimmed, when it is not empty and shorter than 200 characters; else empty.
QString StartupAddressFromClipboard(const QString &clipboardText);
