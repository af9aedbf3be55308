#include "capture_gl.h"

#include <cmath>

#include "viewer/opengl.h"

namespace {

capture::Mode gMode = capture::Mode::Counting;
capture::Tally gTally = {};
std::vector<TriangleVertex> gTriangles;

// The state a GL would keep that changes what a vertex becomes.
GLenum gMatrixMode = GL_MODELVIEW;
float gColour[3] = {1.0f, 1.0f, 1.0f};  // GL's starting colour
double gTurn[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

// The open group: its mode and its vertices so far, already in world space.
bool gInGroup = false;
GLenum gGroupMode = GL_POINTS;
std::vector<TriangleVertex> gGroup;

const double kPi = 3.14159265358979323846;

void resetTurn() {
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) gTurn[r][c] = r == c ? 1.0 : 0.0;
    }
}

// glRotatef multiplies the current matrix by the turn on the right, so the
// turn made last acts on the vertex first.
void applyTurn(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0) return;
    x /= length;
    y /= length;
    z /= length;
    const double c = std::cos(degrees * kPi / 180.0);
    const double s = std::sin(degrees * kPi / 180.0);
    const double t = 1.0 - c;
    const double turn[3][3] = {
        {x * x * t + c, x * y * t - z * s, x * z * t + y * s},
        {y * x * t + z * s, y * y * t + c, y * z * t - x * s},
        {z * x * t - y * s, z * y * t + x * s, z * z * t + c},
    };
    double product[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c2 = 0; c2 < 3; ++c2) {
            product[r][c2] = gTurn[r][0] * turn[0][c2] + gTurn[r][1] * turn[1][c2] +
                             gTurn[r][2] * turn[2][c2];
        }
    }
    for (int r = 0; r < 3; ++r) {
        for (int c2 = 0; c2 < 3; ++c2) gTurn[r][c2] = product[r][c2];
    }
}

void emit(int a, int b, int c) {
    gTriangles.push_back(gGroup[a]);
    gTriangles.push_back(gGroup[b]);
    gTriangles.push_back(gGroup[c]);
}

// Splits the closed group the way it is filled: a quad or a polygon as a
// fan from its first vertex. The scene draws nothing else.
void closeGroup() {
    const int n = static_cast<int>(gGroup.size());
    switch (gGroupMode) {
    case GL_QUADS:
        ++gTally.quadGroups;
        for (int q = 0; q + 3 < n; q += 4) {
            emit(q, q + 1, q + 2);
            emit(q, q + 2, q + 3);
        }
        break;
    case GL_TRIANGLES:
        ++gTally.triangleGroups;
        for (int t = 0; t + 2 < n; t += 3) emit(t, t + 1, t + 2);
        break;
    case GL_POLYGON:
        ++gTally.polygonGroups;
        for (int v = 1; v + 1 < n; ++v) emit(0, v, v + 1);
        break;
    default:
        ++gTally.droppedGroups;
        break;
    }
    gGroup.clear();
}

bool capturing() { return gMode == capture::Mode::Triangles; }

}  // namespace

namespace capture {

void start(Mode mode) {
    gMode = mode;
    gTally = Tally{};
    gTriangles.clear();
    gGroup.clear();
    gInGroup = false;
    gMatrixMode = GL_MODELVIEW;
    gColour[0] = gColour[1] = gColour[2] = 1.0f;
    resetTurn();
}

const Tally& tally() { return gTally; }

const std::vector<TriangleVertex>& triangles() { return gTriangles; }

double netTurnResidual() {
    double worst = 0.0;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            worst = std::fmax(worst, std::fabs(gTurn[r][c] - (r == c ? 1.0 : 0.0)));
        }
    }
    return worst;
}

}  // namespace capture

// The stand-ins. Their declarations come from the real headers, so a
// signature that drifts from the real one fails to compile. Each one counts
// itself; only Triangles mode does more.

void glBegin(GLenum mode) {
    ++gTally.calls;
    ++gTally.groups;
    if (!capturing()) return;
    gInGroup = true;
    gGroupMode = mode;
    gGroup.clear();
}

void glEnd() {
    ++gTally.calls;
    if (!capturing() || !gInGroup) return;
    gInGroup = false;
    closeGroup();
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    ++gTally.calls;
    ++gTally.vertices;
    if (!capturing() || !gInGroup) return;
    TriangleVertex v;
    v.x = static_cast<float>(gTurn[0][0] * x + gTurn[0][1] * y + gTurn[0][2] * z);
    v.y = static_cast<float>(gTurn[1][0] * x + gTurn[1][1] * y + gTurn[1][2] * z);
    v.z = static_cast<float>(gTurn[2][0] * x + gTurn[2][1] * y + gTurn[2][2] * z);
    v.red = gColour[0];
    v.green = gColour[1];
    v.blue = gColour[2];
    gGroup.push_back(v);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    ++gTally.calls;
    ++gTally.colourChanges;
    if (!capturing()) return;
    gColour[0] = red;
    gColour[1] = green;
    gColour[2] = blue;
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    ++gTally.calls;
    ++gTally.turns;
    if (!capturing() || gMatrixMode != GL_MODELVIEW) return;
    applyTurn(angle, x, y, z);
}

void glMatrixMode(GLenum mode) {
    ++gTally.calls;
    gMatrixMode = mode;
}

void glLoadIdentity() {
    ++gTally.calls;
    if (gMatrixMode == GL_MODELVIEW) resetTurn();
}

// The camera and the projection are left to whoever replays the triangles.
void gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
               GLdouble) {
    ++gTally.calls;
}
void gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) { ++gTally.calls; }

void glViewport(GLint, GLint, GLsizei, GLsizei) { ++gTally.calls; }
void glClear(GLbitfield) { ++gTally.calls; }
void glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) { ++gTally.calls; }
void glEnable(GLenum) { ++gTally.calls; }
void glColorMaterial(GLenum, GLenum) { ++gTally.calls; }

void glutSwapBuffers() { ++gTally.calls; }
void glutPostRedisplay() { ++gTally.calls; }
void glutFullScreen() { ++gTally.calls; }
void glutReshapeWindow(int, int) { ++gTally.calls; }
