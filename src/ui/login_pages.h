#pragma once

#include <QString>

// Address the log-in browser opens for a command of the "登录" popup, or an
// empty string for commands that are not log-in entries.  For "QQ空间/QQ群"
// a QQ number typed into the address box (digits only, list type 0) is appended.
QString LoginAddressForCommand(int id, const QString &addressBoxText, int listType);

// Start page of "自定义登录", where the user types any address.
QString CustomLoginStartPage();

bool IsLoginCommand(int id);
