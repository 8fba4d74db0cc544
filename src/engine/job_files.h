#pragma once

#include <QString>

#include <cstdint>

struct ST_DOWNJOB;

// "pic.zvk" in the album folder: the album's first picture entry as UTF-16LE,
// no byte-order mark, no line end.
bool WritePicZvk(const ST_DOWNJOB &job);
// The same for an album whose first picture was not collected this time (the
// record of saved pictures passed over it): `firstUrl` is its address.
bool WritePicZvk(const QString &folder, const QString &firstUrl);
// The first line of strFolder + "pic.zvk"; empty when there is none.
QString ReadPicZvk(const QString &folder);

// The ".lst" list for a download manager: every picture entry in GBK, each
// followed by CR LF.
bool WriteListFile(const ST_DOWNJOB &job, const QString &albumName);

// Appends one line to the original-name file (UTF-16LE, CR LF); `create`
// truncates it and writes the byte-order mark first.
bool AppendOriginalName(const QString &path, const QString &name, bool create);

// Gives each picture file the extension its content says (fix format).
void FixPictureFormats(ST_DOWNJOB &job);
// Sets the pictures' times one minute apart, the first newest (fix order).
void FixPictureOrder(const ST_DOWNJOB &job, int64_t nNow);
