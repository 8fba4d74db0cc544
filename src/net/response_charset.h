#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The character set a fetched page names for itself.  Newer shop pages are
// UTF-8 and say so; older ones say GBK or nothing at all.

// Code page of a charset name, compared case-insensitively: UTF-8, the GBK
// family (GB2312 ...), GB18030, Big5, EUC-KR.  Any other name gives GBK,
// the code page the shop's pages have always had.
unsigned CodePageOfCharset(QByteArrayView name);

// The charset parameter of the last Content-Type header in `rawHeaders`,
// else the charset of a <meta> tag within the first 4 KB of `body`, as a
// code page (CodePageOfCharset).  0 when neither names one.
unsigned AnnouncedCodePage(const QString &rawHeaders, const QByteArray &body);
