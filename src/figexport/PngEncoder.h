#pragma once

#include <QByteArray>

class QImage;

namespace quendrix {

/// An opaque image as the bytes of a PNG file: 8-bit RGB, each row filtered against the one
/// above it and deflated at a fast level, with its resolution for printing. For figures, which
/// are mostly flat areas, this is several times quicker than the general image writer and
/// hardly larger. Empty when the image is null or there is no memory to convert or compress it.
QByteArray encodePng(const QImage& image);

} // namespace quendrix
