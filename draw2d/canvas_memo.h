#pragma once
// A canvas is a small picture drawn into a corner of the back buffer and grabbed into an image
// straight away, every frame, although most frames draw it exactly as the frame before. Between
// BeginCanvas and the GrabImage that ends it, drawing calls are only noted. At the grab, if the
// calls, the state they started from and the grab are the ones that last filled the same image,
// and the image still holds what that grab put there, nothing is drawn and nothing grabbed: the
// image already has those pixels. Otherwise the calls go to the driver as they came, then the
// grab. Only drivers whose grabs cost something take part (TQuill2DDriver::CanvasGrabsCost).
//
// The image ends up the same either way; the back buffer around and under the canvas does not,
// so the caller clears it after the grab. A canvas is reused only when its first drawing call
// paints the whole grabbed rectangle opaquely (Cls, or a solid or fully opaque masked rectangle
// in pixel coordinates): what was in the back buffer before cannot show through.
#include <cstdint>
#include <memory>

class TImage;
class TImageFrame;

// Starts noting drawing calls for the canvas. Does nothing while a canvas is open or where the
// current driver takes no part.
void BeginCanvas();

// Whether a canvas is open.
bool CanvasOpen();

// Called by DrawImage while a canvas is open: notes that `frame` of `image` (whose texture is
// `texture`) is drawn with those corners and that translation.
void NoteCanvasImage(const TImage& image, int frame, std::shared_ptr<TImageFrame> texture,
                     float x0, float y0, float x1, float y1, float tx, float ty);

enum class CanvasEnd {
  kNone,       // no canvas was open: grab as usual
  kUnchanged,  // the image already holds this canvas: no grab
  kDrawn,      // the canvas was drawn: grab it, then KeepCanvas
};

// Called by GrabImage before it grabs: closes the open canvas and says what to do. `mask` is the
// r, g, b triple in force for a masked image, or nullptr.
CanvasEnd EndCanvas(const TImage& image, int frame, int x, int y, const int* mask);
// After the grab that followed kDrawn: remembers the canvas as what `frame` of `image` holds.
void KeepCanvas(const TImage& image, int frame);

// How many grabs have been left out so far because the canvas was unchanged.
uint64_t CanvasesReused();

// Closes an open canvas without drawing it and forgets every kept one, for a test that starts
// afresh. (Kept canvases hold no texture alive, so a closing display needs nothing of this.)
void ForgetCanvases();

// A number for "the pixels of an image frame changed", unique for the life of the process.
uint64_t NextImageVersion();
