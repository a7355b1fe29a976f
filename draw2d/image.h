#pragma once
// Images: pictures loaded once, and dynamic images refilled by grabbing the back buffer. Each
// frame's texture is built lazily, refilled in place after its pixmap changes, and rebuilt when
// the display reopens. A driver that can grabs straight into the texture; the pixmap then catches
// up only when someone locks it.
#include <memory>
#include <string>
#include <vector>

#include "draw2d/pixmap.h"
#include "draw2d/quill2d_driver.h"

struct ImageFlag {
  static constexpr int Masked = 1;
  static constexpr int Filtered = 2;
  static constexpr int Mipmapped = 4;
  static constexpr int Dynamic = 8;
};

class TImage {
 public:
  static std::shared_ptr<TImage> Create(int width, int height, int frame_count, int flags,
                                        int mask_r, int mask_g, int mask_b);
  // From a pixmap (used as is) or a URL (opened and decoded); nullptr if that yields nothing.
  static std::shared_ptr<TImage> Load(std::shared_ptr<TPixmap> pixmap, int flags, int mask_r,
                                      int mask_g, int mask_b);

  std::shared_ptr<TImageFrame> Frame(int index);
  std::shared_ptr<TPixmap> Lock(int index, bool read, bool write);
  void SetPixmap(int index, std::shared_ptr<TPixmap> pixmap);

  int width = 0;
  int height = 0;
  int flags = 0;
  int mask_r = 0, mask_g = 0, mask_b = 0;
  float handle_x = 0.0f, handle_y = 0.0f;
  std::vector<std::shared_ptr<TPixmap>> pixmaps;
  std::vector<std::shared_ptr<TImageFrame>> frames;
  std::vector<int> seqs;
  // Per frame: changes whenever its pixels do (NextImageVersion), not when they only move
  // between pixmap and texture.
  std::vector<uint64_t> versions;
  // Per frame: the frame holds newer pixels than the pixmap (a grab went straight into it).
  std::vector<char> _pixels_in_frame;
};

void SetMaskColor(int r, int g, int b);
void GetMaskColor(int& r, int& g, int& b);
void AutoMidHandle(bool on);
void SetImageHandle(TImage& image, float x, float y);

constexpr int kDefaultImageFlags = ImageFlag::Masked | ImageFlag::Filtered;

// flags -1: the default flags (masked, filtered).
std::shared_ptr<TImage> CreateImage(int width, int height, int frame_count = 1, int flags = -1);
std::shared_ptr<TImage> LoadImage(const std::string& url, int flags = -1);
std::shared_ptr<TImage> LoadImage(std::shared_ptr<TPixmap> pixmap, int flags = -1);
void DrawImage(TImage* image, float x, float y, int frame = 0);
// Grabs the image-sized rectangle at (x, y) of the back buffer; masked images are masked with
// the mask colour in force now.
void GrabImage(TImage* image, int x, int y, int frame = 0);
