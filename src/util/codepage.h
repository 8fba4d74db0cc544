#pragma once

#include <QByteArray>
#include <QString>

// Windows code page numbers the program uses; 0 is the ANSI code page, which
// is GBK (936) everywhere here.
inline constexpr unsigned CP_ACP = 0;
inline constexpr unsigned CP_GBK = 936;
inline constexpr unsigned CP_BIG5 = 950;
inline constexpr unsigned CP_EUCKR = 51949;
inline constexpr unsigned CP_GB18030 = 54936;
inline constexpr unsigned CP_UTF8 = 65001;

// Converts `nCount` bytes in code page `nCodePage` to text.  Invalid bytes
// become U+FFFD and conversion goes on; the result ends before the first zero
// character.  An unknown code page gives an empty text.
QString BytesToWide(const char *pBytes, qsizetype nCount, unsigned nCodePage);
QString BytesToWide(const QByteArray &bytes, unsigned nCodePage);

// Converts the text to GBK (code page 936).  Characters GBK cannot hold become
// '?'; the result ends before the first zero byte.
QByteArray WideToGbk(const QString &text);
