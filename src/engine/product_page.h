#pragma once

#include <QString>

#include <functional>

class CEngineState;
class IJobHost;

// The part of a product page address that marks the shop's product host.
inline constexpr char16_t kProductHostFragment[] = u"item.jd.";

// List job: loads the product page, adds it as one album (named after the
// product title) and keeps the page text for the download job.
void AddProductAlbum(CEngineState &state, IJobHost &host, const QString &address);

// Download job: hands the main pictures of album `albumIndex` (and, with the
// JD picture method 1, those of every colour or version choice) to AddPicture.
// `picturesReady`, when given, is called whenever pictures were added and more
// may follow (a choice page's pictures are in), so a pool may start on them.
void ExtractProductPictures(CEngineState &state, IJobHost &host, int albumIndex,
                            const std::function<void()> &picturesReady = {});

// Thumbnail address → large picture address.
QString LargePictureUrl(QString url);
