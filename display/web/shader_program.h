#pragma once
// Compiling and linking a GLSL ES program of one vertex and one fragment shader.
#include <GLES2/gl2.h>

// 0 if either shader does not compile or the program does not link (the log goes to stderr).
GLuint LinkGLProgram(const char* vertex_source, const char* fragment_source);
