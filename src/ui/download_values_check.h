#pragma once

#include <QString>

// What is wrong with the download settings as typed, naming the field and
// its range ("线程数须为 1~15"); empty when every box holds a number the
// settings can store.  Numbers are read whole: a value out of range is
// refused rather than wrapped into one that fits.
QString DownloadValuesProblem(const QString &threads, const QString &timeout, const QString &minSize,
                              const QString &maxSize);
