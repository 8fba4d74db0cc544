#pragma once

#include <QString>

#include <atomic>

// Downloads one address into a file, the way the shell's download-to-file
// service does for the thumbnails: a plain GET with redirects, no cookies,
// no content checks.  The file appears only when the whole body arrived; a
// failure or an abort leaves no file behind (an older file stays as it was).
// `abort`, when given, ends a running transfer as soon as it turns true.
// Safe to call from several threads at once.
bool DownloadToFile(const QString &url, const QString &path, int timeoutSec,
                    const std::atomic<bool> *abort = nullptr);
