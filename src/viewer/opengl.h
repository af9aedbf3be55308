// One place that knows where each platform keeps the GLUT header.
// GLUT pulls in gl.h and glu.h itself.
#ifndef HOUSE_VIEWER_OPENGL_H
#define HOUSE_VIEWER_OPENGL_H

#if defined(__APPLE__)
#define GL_SILENCE_DEPRECATION
#include <GLUT/glut.h>
#else
#include <GL/glut.h>
#endif

#endif
