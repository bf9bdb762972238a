#pragma once

#include <cstdint>
#include <vector>

#include "platform/ui/Image.h"

// The image's pixels as packed R, G, B, A bytes, top row first, at `width` x
// `height` (the nearest source pixel where that differs from the image's own
// size). Images hold premultiplied colour; with `straightAlpha` the colour of
// partly transparent pixels is divided back by alpha, as the blend shader
// expects. An image without pixels gives transparent black.
std::vector<std::uint8_t> rgbaBytesOfImage(const ui::Image& image, int width, int height, bool straightAlpha);

// The straight-alpha R, G, B, A bytes of the pixels of `area` (in pixels,
// inside the image), rows packed, top row first, into `rgba`.
void straightRgbaBytesOfArea(const ui::Image& image, const ui::Rect& area, std::vector<std::uint8_t>& rgba);
