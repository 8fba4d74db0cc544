#pragma once

#include <QImage>
#include <QSize>

#include <vector>

// Images of one size for the cells (the thumbnails of the album grid).
// Images of another size are scaled to it when added.
class CGridImageList
{
public:
    explicit CGridImageList(QSize imageSize) : m_size(imageSize) {}

    QSize ImageSize() const { return m_size; }
    int ImageCount() const { return static_cast<int>(m_images.size()); }
    // Keeps the first n images (only shrinks).
    void SetImageCount(int n);
    // Returns the new image's index, or -1 for a null image.
    int Add(const QImage &image);
    // Null image for an index out of range.
    QImage Image(int nIndex) const;

private:
    QSize m_size;
    std::vector<QImage> m_images;
};
