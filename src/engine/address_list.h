#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Lists of product addresses: a pasted column of links, a text file of them.

// Every product page address in `text`, in order, each product once.  The
// addresses may stand on lines of their own, between spaces or commas, or
// inside other text; anything that is no product page address is left out.
QStringList ProductAddresses(const QString &text);

// The text of an address list file: UTF-8 (a byte-order mark allowed) when it
// decodes as UTF-8, else GBK.  Lines starting with '#' are comments and are
// dropped.
QString AddressListText(const QByteArray &bytes);
