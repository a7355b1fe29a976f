#pragma once
// A running digest of the drawing the program asks for: each front-end call and its arguments,
// as they arrive, before any driver (or the canvas memo) sees them. Two runs that asked for the
// same pictures have the same digest, whichever drivers drew them. Off until started.
#include <cstdint>
#include <initializer_list>

enum class DrawOp : uint32_t {
  kColor = 1, kAlpha, kBlend, kClsColor, kLineWidth, kViewport, kOrigin, kHandle, kRotation,
  kScale, kCls, kPlot, kRect, kOval, kLine, kMaskColor, kImage, kGrab, kImageHandle, kFlip
};

void StartDrawDigest();  // from a fresh digest
void StopDrawDigest();
uint64_t DrawDigest();
// Arguments are taken to 1/256 of a pixel (or of a degree, of an alpha step): a last-bit
// difference of a floating-point library does not count, a different picture does.
void DigestDrawCall(DrawOp op, std::initializer_list<double> args);
