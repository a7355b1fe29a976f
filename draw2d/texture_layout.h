#pragma once
// How an image's pixels sit in a texture, the same for every GPU drawing driver: power-of-two
// sides, the picture in the top-left corner, one extra column and row repeating its edge so that
// filtering at the border does not pick up the empty padding.
#include <functional>
#include <memory>

class TPixmap;

// The smallest power of two at least n (1 for n <= 1).
int TexturePowerOfTwo(int n);
// Texture size for a w x h pixmap: powers of two, halved on every side above 1 until `accepted`
// says yes. False if not even 1 x 1 is accepted.
bool CalculateTexSize(int w, int h, const std::function<bool(int, int)>& accepted, int& tex_w,
                      int& tex_h);
// The texture's pixels: the pixmap at (0, 0) of a tex_w x tex_h format-6 pixmap, with the extra
// column and row; nullptr if the pixmap cannot be converted.
std::shared_ptr<TPixmap> PadForTexture(std::shared_ptr<TPixmap> src, int tex_w, int tex_h);
