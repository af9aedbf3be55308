// The fixed-function GL and GLU calls the scene makes, on WebGL.
//
// The program sends about 3,500 glBegin/glEnd groups a frame. Drawn one by
// one, each would be its own WebGL draw with its own trip to the browser's
// GPU process, so instead every vertex is taken through the current
// modelview and projection matrices as it arrives, its group is cut into
// triangles, and the whole frame goes out as one draw at glutSwapBuffers
// (leaving out triangles wholly outside the view). Triangles keep the order
// they were sent in, and the GL rasterises one draw's triangles in order, so
// where pieces in one plane overlap the piece sent first still keeps the
// pixels, as the depth test's less-than decides.
//
// The matrix arithmetic follows a desktop GL's: 32-bit float matrices, the
// projection and the look-at built as GLU builds them, turns by multiples
// of 90 degrees exact. Only what the program calls is here: the modelview
// and projection matrices without stacks, glRotatef, glBegin with
// GL_TRIANGLES, GL_QUADS or GL_POLYGON, glColor3f and glVertex3f.
// Clearing, the viewport and the depth test are WebGL's own, so they act at
// once while the groups wait for glutSwapBuffers; the program clears only
// as a frame begins and sets the viewport only between frames. Two GLUT
// calls are here as well: glutSwapBuffers, which sends the frame, and
// glutSetWindowTitle, which the emulation lacks and which here titles the
// page.
#define GL_GLEXT_PROTOTYPES
#include <GL/glut.h>
#include <emscripten.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

typedef float Matrix[16];  // column-major, as GL keeps it

const double kPi = 3.14159265358979323846;

// A vertex as the GPU gets it: already in clip space, its colour as the
// 8-bit steps the framebuffer stores anyway.
struct Vertex {
    float clip[4];
    uint8_t colour[4];
};
const float kColourSteps = 255.0f;

// Triangles index the frame's vertices in 16 bits, so a frame goes out in
// more than one draw only past this many vertices.
const size_t kMostVerticesPerDraw = 65536;

const char kVertexShader[] =
    "attribute vec4 clipPosition;\n"
    "attribute vec4 colour;\n"
    "varying vec3 fragmentColour;\n"
    "void main() {\n"
    "  fragmentColour = colour.rgb;\n"
    "  gl_Position = clipPosition;\n"
    "}\n";
const char kFragmentShader[] =
    "precision mediump float;\n"
    "varying vec3 fragmentColour;\n"
    "void main() { gl_FragColor = vec4(fragmentColour, 1.0); }\n";
const GLuint kClipAttribute = 0;
const GLuint kColourAttribute = 1;

Matrix gModelview = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
Matrix gProjection = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
Matrix gCombined = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
bool gCombinedStale = false;
float* gCurrent = gModelview;

uint8_t gColour[4] = {255, 255, 255, 255};  // GL's starting colour

GLenum gGroupMode = 0;
std::vector<Vertex> gGroup;      // the open group's vertices, transformed
std::vector<Vertex> gVertices;   // the frame's vertices so far
std::vector<uint16_t> gIndices;  // its triangles, three indices each

GLuint gProgram = 0;
GLuint gVertexBuffer = 0;
GLuint gIndexBuffer = 0;

float& at(float* m, int row, int column) { return m[column * 4 + row]; }

// product = a * b, each element summed in float in GL's order.
void multiply(const float* a, const float* b, float* product) {
    Matrix result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            result[column * 4 + row] = a[row] * b[column * 4] + a[4 + row] * b[column * 4 + 1] +
                                       a[8 + row] * b[column * 4 + 2] +
                                       a[12 + row] * b[column * 4 + 3];
        }
    }
    for (int i = 0; i < 16; ++i) product[i] = result[i];
}

void multiplyCurrent(const float* by) {
    multiply(gCurrent, by, gCurrent);
    gCombinedStale = true;
}

void setIdentity(float* m) {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void normalise(float* v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
}

void cross(const float* a, const float* b, float* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// Sine and cosine of a turn, exact where the turn is a multiple of 90
// degrees: the fence's quarter turns must bring the frame back exactly.
void turnSineCosine(float degrees, float& sine, float& cosine) {
    const float quarters = degrees / 90.0f;
    if (quarters == std::floor(quarters)) {
        const int quarter = ((static_cast<int>(std::fmod(quarters, 4.0f)) % 4) + 4) % 4;
        const float sines[4] = {0.0f, 1.0f, 0.0f, -1.0f};
        sine = sines[quarter];
        cosine = sines[(quarter + 1) % 4];
        return;
    }
    sine = static_cast<float>(std::sin(degrees * kPi / 180.0));
    cosine = static_cast<float>(std::cos(degrees * kPi / 180.0));
}

void prepareProgram() {
    const char* sources[2] = {kVertexShader, kFragmentShader};
    const GLenum kinds[2] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
    gProgram = glCreateProgram();
    for (int i = 0; i < 2; ++i) {
        const GLuint shader = glCreateShader(kinds[i]);
        glShaderSource(shader, 1, &sources[i], nullptr);
        glCompileShader(shader);
        glAttachShader(gProgram, shader);
    }
    glBindAttribLocation(gProgram, kClipAttribute, "clipPosition");
    glBindAttribLocation(gProgram, kColourAttribute, "colour");
    glLinkProgram(gProgram);
    glGenBuffers(1, &gVertexBuffer);
    glGenBuffers(1, &gIndexBuffer);
}

void drawBatch() {
    if (!gIndices.empty()) {
        if (gProgram == 0) prepareProgram();
        glUseProgram(gProgram);
        glBindBuffer(GL_ARRAY_BUFFER, gVertexBuffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(gVertices.size() * sizeof(Vertex)),
                     gVertices.data(), GL_STREAM_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gIndexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(gIndices.size() * sizeof(uint16_t)), gIndices.data(),
                     GL_STREAM_DRAW);
        glEnableVertexAttribArray(kClipAttribute);
        glEnableVertexAttribArray(kColourAttribute);
        glVertexAttribPointer(kClipAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offsetof(Vertex, clip)));
        glVertexAttribPointer(kColourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offsetof(Vertex, colour)));
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(gIndices.size()), GL_UNSIGNED_SHORT,
                       nullptr);
    }
    // Also when every triangle was left out, as when the eye has zoomed out
    // past the far plane: the next batch starts from index 0.
    gVertices.clear();
    gIndices.clear();
}

// Moves the closed group's vertices into the batch; its triangles then
// index them from `first` on.
size_t takeGroup() {
    if (gVertices.size() + gGroup.size() > kMostVerticesPerDraw) drawBatch();
    const size_t first = gVertices.size();
    gVertices.insert(gVertices.end(), gGroup.begin(), gGroup.end());
    return first;
}

// Which of the six clip planes a vertex lies beyond, one bit each.
int outsideMask(const Vertex& v) {
    const float w = v.clip[3];
    int mask = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (v.clip[axis] < -w) mask |= 1 << (2 * axis);
        if (v.clip[axis] > w) mask |= 2 << (2 * axis);
    }
    return mask;
}

void addTriangle(size_t first, int a, int b, int c) {
    // A triangle wholly beyond one plane covers no pixel; leaving it out
    // spares the software rasteriser its setup.
    if ((outsideMask(gVertices[first + a]) & outsideMask(gVertices[first + b]) &
         outsideMask(gVertices[first + c])) != 0) {
        return;
    }
    gIndices.push_back(static_cast<uint16_t>(first + a));
    gIndices.push_back(static_cast<uint16_t>(first + b));
    gIndices.push_back(static_cast<uint16_t>(first + c));
}

uint8_t colourStep(float intensity) {
    const float clamped = intensity < 0.0f ? 0.0f : (intensity > 1.0f ? 1.0f : intensity);
    return static_cast<uint8_t>(std::lround(clamped * kColourSteps));
}

}  // namespace

void glMatrixMode(GLenum mode) {
    gCurrent = mode == GL_PROJECTION ? gProjection : gModelview;
}

void glLoadIdentity() {
    setIdentity(gCurrent);
    gCombinedStale = true;
}

void glRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z) {
    float axis[3] = {x, y, z};
    normalise(axis);
    float s, c;
    turnSineCosine(degrees, s, c);
    const float t = 1.0f - c;
    Matrix turn;
    setIdentity(turn);
    at(turn, 0, 0) = axis[0] * axis[0] * t + c;
    at(turn, 0, 1) = axis[0] * axis[1] * t - axis[2] * s;
    at(turn, 0, 2) = axis[0] * axis[2] * t + axis[1] * s;
    at(turn, 1, 0) = axis[1] * axis[0] * t + axis[2] * s;
    at(turn, 1, 1) = axis[1] * axis[1] * t + c;
    at(turn, 1, 2) = axis[1] * axis[2] * t - axis[0] * s;
    at(turn, 2, 0) = axis[2] * axis[0] * t - axis[1] * s;
    at(turn, 2, 1) = axis[2] * axis[1] * t + axis[0] * s;
    at(turn, 2, 2) = axis[2] * axis[2] * t + c;
    multiplyCurrent(turn);
}

// Built in double and handed over as floats, as GLU hands its matrix to GL.
void gluPerspective(GLdouble fieldOfViewDegrees, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double halfAngle = fieldOfViewDegrees / 2 * kPi / 180;
    const double depth = zFar - zNear;
    const double sine = std::sin(halfAngle);
    if (depth == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(halfAngle) / sine;
    Matrix m = {};
    at(m, 0, 0) = static_cast<float>(cotangent / aspect);
    at(m, 1, 1) = static_cast<float>(cotangent);
    at(m, 2, 2) = static_cast<float>(-(zFar + zNear) / depth);
    at(m, 3, 2) = -1.0f;
    at(m, 2, 3) = static_cast<float>(-2 * zNear * zFar / depth);
    multiplyCurrent(m);
}

// The rotation is worked out in float, the eye's translation applied after
// it, as GLU does.
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    normalise(forward);
    float side[3];
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, up);
    Matrix m;
    setIdentity(m);
    for (int i = 0; i < 3; ++i) {
        at(m, 0, i) = side[i];
        at(m, 1, i) = up[i];
        at(m, 2, i) = -forward[i];
    }
    multiplyCurrent(m);
    const float move[3] = {static_cast<float>(-eyeX), static_cast<float>(-eyeY),
                           static_cast<float>(-eyeZ)};
    for (int row = 0; row < 4; ++row) {
        at(gCurrent, row, 3) = at(gCurrent, row, 0) * move[0] + at(gCurrent, row, 1) * move[1] +
                               at(gCurrent, row, 2) * move[2] + at(gCurrent, row, 3);
    }
}

// There is no lighting, so the colour-material mode changes no pixel.
void glColorMaterial(GLenum, GLenum) {}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    gColour[0] = colourStep(red);
    gColour[1] = colourStep(green);
    gColour[2] = colourStep(blue);
}

void glBegin(GLenum mode) {
    gGroupMode = mode;
    gGroup.clear();
    if (gCombinedStale) {
        multiply(gProjection, gModelview, gCombined);
        gCombinedStale = false;
    }
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (gGroup.size() == kMostVerticesPerDraw) return;
    const float* m = gCombined;
    Vertex vertex;
    for (int row = 0; row < 4; ++row) {
        vertex.clip[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
    for (int i = 0; i < 4; ++i) vertex.colour[i] = gColour[i];
    gGroup.push_back(vertex);
}

// A quad and a polygon are both cut from their first vertex, as the
// desktop GL cuts them, so the diagonals fall where they fall there.
void glEnd() {
    const int count = static_cast<int>(gGroup.size());
    const size_t first = takeGroup();
    switch (gGroupMode) {
    case GL_TRIANGLES:
        for (int t = 0; t + 2 < count; t += 3) addTriangle(first, t, t + 1, t + 2);
        break;
    case GL_QUADS:
        for (int q = 0; q + 3 < count; q += 4) {
            addTriangle(first, q, q + 1, q + 2);
            addTriangle(first, q, q + 2, q + 3);
        }
        break;
    case GL_POLYGON:
        for (int v = 1; v + 1 < count; ++v) addTriangle(first, 0, v, v + 1);
        break;
    default:
        break;  // the scene draws nothing else
    }
}

void glutSwapBuffers() {
    drawBatch();
    EM_ASM({
        if (Module.onFrameDrawn) Module.onFrameDrawn();
    });
}

void glutSetWindowTitle(const char* title) {
    emscripten_set_window_title(title);
}
