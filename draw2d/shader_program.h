#pragma once
// Compiling and linking a program of one vertex and one fragment shader, written in the GLSL
// that OpenGL ES 2 and desktop OpenGL 2.0 share.
#include "draw2d/gles_api.h"

// 0 if either shader does not compile or the program does not link (the log goes to stderr).
// The attribute `a_pos` is given location 0: a desktop compatibility context draws nothing
// unless attribute 0 is an enabled array.
GLuint LinkGLProgram(const char* vertex_source, const char* fragment_source);
