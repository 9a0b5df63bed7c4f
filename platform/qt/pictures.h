#pragma once

#include <QByteArray>
#include <QImage>

#include "platform/platform.h"

namespace lanzhou::platform::qt {

// The first image of the bytes, found by content; null when no reader can decode them.
QImage decodeImage(const QByteArray& bytes);
// True for bytes of a picture with more than one frame.
bool isAnimated(const QByteArray& bytes);
RgbaImage toRgbaImage(const QImage& image);

QByteArray toQByteArray(const Bytes& bytes);
Bytes toBytes(const QByteArray& bytes);

}  // namespace lanzhou::platform::qt
