#pragma once
// The OpenGL ES 2 calls the shader driver makes: WebGL's own in a browser, the same entry points
// of desktop OpenGL 2.0 and later elsewhere.
#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#else
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif
