#include "draw2d/shader_program.h"

#include <cstdio>

namespace {

void PrintLog(GLuint object, bool program) {
  char log[1024] = {};
  if (program) {
    glGetProgramInfoLog(object, sizeof log, nullptr, log);
  } else {
    glGetShaderInfoLog(object, sizeof log, nullptr, log);
  }
  std::fprintf(stderr, "moody: %s\n", log);
}

GLuint Compile(GLenum kind, const char* source) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    PrintLog(shader, false);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

GLuint LinkGLProgram(const char* vertex_source, const char* fragment_source) {
  const GLuint vs = Compile(GL_VERTEX_SHADER, vertex_source);
  const GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, fragment_source) : 0;
  GLuint program = fs ? glCreateProgram() : 0;
  if (program) {
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "a_pos");
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
      PrintLog(program, true);
      glDeleteProgram(program);
      program = 0;
    }
  }
  if (vs) glDeleteShader(vs);
  if (fs) glDeleteShader(fs);
  return program;
}
