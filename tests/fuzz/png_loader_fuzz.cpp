// libFuzzer target: any bytes handed to the PNG loader give a pixmap or none, never a crash, a
// leak or undefined behaviour. Built and run by scripts/fuzz-png.sh.
#include <cstddef>
#include <cstdint>

#include "resources/png_loader.h"
#include "resources/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = TRamStream::Create(data, static_cast<int64_t>(size), true, false);
  if (!stream) return 0;
  auto pixmap = LoadPixmapPNG(*stream);
  if (pixmap) {
    // Touch every row, so a pixmap smaller than it claims shows up under AddressSanitizer.
    volatile uint8_t sink = 0;
    for (int y = 0; y < pixmap->height; ++y) sink = sink ^ pixmap->Row(y)[pixmap->pitch - 1];
  }
  return 0;
}
