#pragma once

#include <QString>
#include <QStringList>

class CEngineState;
class IJobHost;

// The part of a product page address that marks the shop's product host.
inline constexpr char16_t kProductHostFragment[] = u"item.jd.";

// List job: loads the product page, adds it as one album (named after the
// product title) and keeps the page text for the download job.
void AddProductAlbum(CEngineState &state, IJobHost &host, const QString &address);

// Download job: hands the main pictures of album `albumIndex` (and, with the
// JD picture method 1, those of every colour or version choice) to AddPicture.
void ExtractProductPictures(CEngineState &state, IJobHost &host, int albumIndex);

// Thumbnail address → large picture address.
QString LargePictureUrl(QString url);

// The thumbnails of the picture strip ("class=\"spec-items" up to "</ul>",
// split at "src="), element 0 being the text before the first one; empty
// when the page has no strip.
QStringList ThumbnailList(QString page);
// The address of one thumbnail text (scheme added, quotes removed), or empty
// when it has none.
QString ThumbnailAddress(const QString &thumb);

// True when AddPicture or the user asked to stop collecting (DownloadJobState 2 or 3).
bool StopCollecting(CEngineState &state, const QStringList &thumbs = {}, qsizetype from = 0);
