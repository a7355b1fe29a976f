#pragma once
// Grabbing a rectangle of the drawing surface into a texture without the pixels leaving the GPU.
// The rectangle is copied into a scratch texture; one pass of a small fragment shader then writes
// the destination texture's texels: rows turned top first, mask-coloured pixels made transparent
// with the average colour of their unmasked neighbours, and the one extra column and row that
// repeat the image's edge. The texels come out byte for byte as the pixmap route (read back,
// MaskPixmap, upload) would make them, so whatever is drawn with them is the same too.
//
// Needs framebuffer objects and GLSL 1.30 (texelFetch, integer arithmetic): OpenGL 3.0 or later.
// Elsewhere Available() is false and the caller takes the pixmap route.
//
// Under a software renderer the "GPU" is the CPU: there the copy and the extra pass cost more
// than reading 90x90 pixels back (the copy is a blit through another framebuffer, and the
// shader is compiled to machine code at start-up), so the driver asks RendererIsSoftware().
#include <GL/gl.h>

// Whether the current context renders on the CPU (Mesa's llvmpipe, softpipe, swrast), as the
// GLX_MESA_query_renderer extension tells; false where nobody says so.
bool RendererIsSoftware();

class GLCanvasGrabber {
 public:
  // Whether the current context can do it; worked out once per display (the GL objects live in
  // its context).
  bool Available();

  // Fills texels [0, min(w + 1, tex_w)) x [0, min(h + 1, tex_h)) of `texture` (RGBA8, tex_w x
  // tex_h, level 0) from the w x h rectangle at (x, y) (window pixels, y down) of the surface
  // currently bound for drawing, whose height is `surface_h`. `mask` is an (r, g, b) triple or
  // nullptr. Leaves the program, the framebuffer binding, viewport, scissor, blending and the
  // alpha test as it found them; texture unit 0 is left with `scratch_binding()` bound, even when
  // the pass could not follow the copy.
  // False if the pass could not be set up (the texture is then unchanged).
  bool Grab(GLuint texture, int tex_w, int tex_h, int x, int y, int w, int h, const int* mask,
            int surface_w, int surface_h);

  // The texture bound to unit 0 after a grab.
  GLuint scratch_binding() const { return _scratch; }
  // A texture is being deleted: it must not stay attached to the grab's framebuffer object.
  void Forget(GLuint texture);

 private:
  bool Setup();
  void Attach(GLuint texture);

  int _seq = 0;  // display sequence number the objects below belong to
  bool _available = false;
  GLuint _program = 0;
  GLuint _framebuffer = 0;
  GLuint _scratch = 0;
  int _scratch_w = 0, _scratch_h = 0;
  GLuint _attached = 0;
  GLint _size_at = -1, _mask_at = -1, _masked_at = -1;
  int _size[2] = {-1, -1};
  int _mask[3] = {-1, -1, -1};
  int _masked = -1;
};
