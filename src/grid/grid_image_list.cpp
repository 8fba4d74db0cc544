#include "grid/grid_image_list.h"

void CGridImageList::SetImageCount(int n)
{
    if (n >= 0 && n < ImageCount())
        m_images.resize(static_cast<size_t>(n));
}

int CGridImageList::Add(const QImage &image)
{
    if (image.isNull())
        return -1;
    if (image.size() == m_size)
        m_images.push_back(image);
    else
        m_images.push_back(image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return ImageCount() - 1;
}

QImage CGridImageList::Image(int nIndex) const
{
    if (nIndex < 0 || nIndex >= ImageCount())
        return {};
    return m_images[static_cast<size_t>(nIndex)];
}
