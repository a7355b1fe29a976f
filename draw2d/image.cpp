// Images: creation, loading, masking, lazy texture frames, drawing and grabbing.
#include "draw2d/image.h"

#include "display/graphics.h"
#include "draw2d/draw_digest.h"
#include "draw2d/canvas_memo.h"
#include "draw2d/render_state.h"
#include "resources/png_loader.h"

namespace {
int mask_red = 0, mask_green = 0, mask_blue = 0;
bool auto_mid_handle = false;

int ResolveFlags(int flags) { return flags == -1 ? kDefaultImageFlags : flags; }

bool ValidIndex(const TImage& image, int index) {
  return index >= 0 && index < static_cast<int>(image.pixmaps.size());
}

void ApplyAutoMidHandle(TImage& image) {
  if (auto_mid_handle) SetImageHandle(image, image.width * 0.5f, image.height * 0.5f);
}
}  // namespace

std::shared_ptr<TImage> TImage::Create(int width, int height, int frame_count, int flags,
                                       int mask_r, int mask_g, int mask_b) {
  auto image = std::make_shared<TImage>();
  image->width = width;
  image->height = height;
  image->flags = flags;
  image->mask_r = mask_r;
  image->mask_g = mask_g;
  image->mask_b = mask_b;
  if (frame_count < 0) frame_count = 0;
  image->pixmaps.resize(frame_count);
  image->frames.resize(frame_count);
  image->seqs.assign(frame_count, 0);
  image->_pixels_in_frame.assign(frame_count, 0);
  image->versions.resize(frame_count);
  for (uint64_t& v : image->versions) v = NextImageVersion();
  return image;
}

std::shared_ptr<TImage> TImage::Load(std::shared_ptr<TPixmap> pixmap, int flags, int mask_r,
                                     int mask_g, int mask_b) {
  if (!pixmap) return nullptr;
  auto image = Create(pixmap->width, pixmap->height, 1, flags, mask_r, mask_g, mask_b);
  image->SetPixmap(0, std::move(pixmap));
  return image;
}

std::shared_ptr<TImageFrame> TImage::Frame(int index) {
  if (!ValidIndex(*this, index)) return nullptr;
  int seq = DisplaySequence();
  if (seqs[index] != seq) {
    TQuill2DDriver* driver = CurrentDrawDriver();
    if (!driver) return nullptr;
    auto pixmap = Lock(index, true, false);
    // The texture stays and takes the new pixels where the driver can; a frame of a closed
    // display never can.
    if (!frames[index] || !pixmap || !driver->UpdateFrameFromPixmap(*frames[index], *pixmap, flags))
      frames[index] = driver->CreateFrameFromPixmap(pixmap, flags);
    seqs[index] = frames[index] ? seq : 0;
  }
  return frames[index];
}

std::shared_ptr<TPixmap> TImage::Lock(int index, bool /*read*/, bool write) {
  if (!ValidIndex(*this, index)) return nullptr;
  if (_pixels_in_frame[index]) {
    // The last grab lives only in the texture: fetch it, unless its display has gone with it.
    _pixels_in_frame[index] = 0;
    if (frames[index] && seqs[index] == DisplaySequence()) {
      if (auto pixels = frames[index]->ReadPixels(width, height)) pixmaps[index] = pixels;
    }
  }
  if (write) {
    seqs[index] = 0;  // the frame is refilled from the pixmap at the next draw
    versions[index] = NextImageVersion();
  }
  if (!pixmaps[index]) pixmaps[index] = TPixmap::Create(width, height, PixelFormat::RGBA8888);
  return pixmaps[index];
}

void TImage::SetPixmap(int index, std::shared_ptr<TPixmap> pixmap) {
  if (!ValidIndex(*this, index)) return;
  // A pixmap with its own alpha keeps it; only opaque formats are keyed on the mask colour.
  if ((flags & ImageFlag::Masked) && pixmap && !FormatHasAlpha(pixmap->format)) {
    pixmap = MaskPixmap(*pixmap, mask_r, mask_g, mask_b);
  }
  pixmaps[index] = std::move(pixmap);
  seqs[index] = 0;
  versions[index] = NextImageVersion();
  _pixels_in_frame[index] = 0;
}

void SetMaskColor(int r, int g, int b) {
  DigestDrawCall(DrawOp::kMaskColor, {double(r), double(g), double(b)});
  mask_red = r;
  mask_green = g;
  mask_blue = b;
}

void GetMaskColor(int& r, int& g, int& b) {
  r = mask_red;
  g = mask_green;
  b = mask_blue;
}

void AutoMidHandle(bool on) { auto_mid_handle = on; }

void SetImageHandle(TImage& image, float x, float y) {
  DigestDrawCall(DrawOp::kImageHandle, {double(image.width), double(image.height), x, y});
  image.handle_x = x;
  image.handle_y = y;
}

std::shared_ptr<TImage> CreateImage(int width, int height, int frame_count, int flags) {
  flags = ResolveFlags(flags);
  auto image = TImage::Create(width, height, frame_count, flags | ImageFlag::Dynamic, mask_red,
                              mask_green, mask_blue);
  ApplyAutoMidHandle(*image);
  return image;
}

std::shared_ptr<TImage> LoadImage(std::shared_ptr<TPixmap> pixmap, int flags) {
  auto image =
      TImage::Load(std::move(pixmap), ResolveFlags(flags), mask_red, mask_green, mask_blue);
  if (image) ApplyAutoMidHandle(*image);
  return image;
}

std::shared_ptr<TImage> LoadImage(const std::string& url, int flags) {
  return LoadImage(LoadPixmap(url), flags);
}

void DrawImage(TImage* image, float x, float y, int frame) {
  if (!image) return;
  DigestDrawCall(DrawOp::kImage, {double(image->width), double(image->height), image->handle_x,
                                  image->handle_y, x, y, double(frame)});
  auto f = image->Frame(frame);
  if (!f) return;
  float ox = 0.0f, oy = 0.0f;
  GetOrigin(ox, oy);
  float x0 = -image->handle_x, y0 = -image->handle_y;
  if (CanvasOpen()) {
    NoteCanvasImage(*image, frame, f, x0, y0, x0 + image->width, y0 + image->height, x + ox,
                    y + oy);
    return;
  }
  f->Draw(x0, y0, x0 + image->width, y0 + image->height, x + ox, y + oy);
}

void GrabImage(TImage* image, int x, int y, int frame) {
  if (!image) return;
  DigestDrawCall(DrawOp::kGrab, {double(image->width), double(image->height), double(x),
                                 double(y), double(frame)});
  // The mask colour in force now, not the one captured when the image was made.
  const int mask[3] = {mask_red, mask_green, mask_blue};
  const bool masked = image->flags & ImageFlag::Masked;
  // An open canvas ends here, before the driver is asked for anything.
  const CanvasEnd canvas = EndCanvas(*image, frame, x, y, masked ? mask : nullptr);
  if (canvas == CanvasEnd::kUnchanged) return;
  TQuill2DDriver* driver = CurrentDrawDriver();
  if (!driver || !ValidIndex(*image, frame)) return;
  if (auto f = driver->GrabFrame(image->frames[frame], x, y, image->width, image->height,
                                 image->flags, masked ? mask : nullptr)) {
    image->frames[frame] = std::move(f);
    image->seqs[frame] = DisplaySequence();
    image->_pixels_in_frame[frame] = 1;
    image->pixmaps[frame].reset();  // stale now; Lock reads the frame back
    image->versions[frame] = NextImageVersion();
  } else {
    auto pixmap = driver->GrabPixmap(x, y, image->width, image->height);
    if (!pixmap) return;
    if (masked) pixmap = MaskPixmap(*pixmap, mask_red, mask_green, mask_blue);
    image->SetPixmap(frame, std::move(pixmap));
  }
  if (canvas == CanvasEnd::kDrawn) KeepCanvas(*image, frame);
}
