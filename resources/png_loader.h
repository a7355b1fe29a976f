#pragma once
// Decodes PNG data into pixmaps with libpng: 16-bit samples stripped to 8, palettes and low-bit
// grey expanded, transparency chunks turned into alpha.
#include <memory>
#include <string>

#include "draw2d/pixmap.h"
#include "resources/stream.h"

std::shared_ptr<TPixmap> LoadPixmapPNG(TStream& stream);  // nullptr if not a decodable PNG
std::shared_ptr<TPixmap> LoadPixmap(const std::string& url);
