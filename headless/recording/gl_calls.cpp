#include "recording/gl_calls.h"

#include <cstdio>
#include <cstdlib>

namespace {

// In the order of GlFn.
const char* const kNames[] = {
    "glBegin", "glEnd", "glVertex3f", "glColor3f", "glRotatef", "glMatrixMode",
    "glLoadIdentity", "glViewport", "glClear", "glClearColor", "glEnable", "glColorMaterial",
    "gluLookAt", "gluPerspective", "glutInit", "glutInitDisplayMode", "glutInitWindowSize",
    "glutInitWindowPosition", "glutCreateWindow", "glutSetWindowTitle", "glutReshapeFunc",
    "glutKeyboardFunc", "glutSpecialFunc", "glutDisplayFunc", "glutMainLoop",
    "glutSwapBuffers", "glutPostRedisplay", "glutFullScreen", "glutReshapeWindow",
};
static_assert(sizeof kNames / sizeof kNames[0] == static_cast<size_t>(GlFn::Count),
              "one name for every call");

}  // namespace

namespace recorder {

const char* name(GlFn fn) { return kNames[static_cast<int>(fn)]; }

std::string describe(const GlCall& call) {
    std::string out = name(call.fn);
    out += '(';
    for (size_t i = 0; i < call.args.size(); ++i) {
        char number[40];
        std::snprintf(number, sizeof number, "%s%.17g", i ? ", " : "", call.args[i]);
        out += number;
    }
    if (!call.text.empty() || call.fn == GlFn::GlutCreateWindow ||
        call.fn == GlFn::GlutSetWindowTitle || call.fn == GlFn::GlutInit) {
        out += call.args.empty() ? "\"" : ", \"";
        out += call.text;
        out += '"';
    }
    out += ')';
    return out;
}

bool parse(const std::string& line, GlCall& call) {
    const size_t open = line.find('(');
    if (open == std::string::npos) return false;
    int fn = 0;
    while (fn < static_cast<int>(GlFn::Count) && line.compare(0, open, kNames[fn]) != 0) ++fn;
    if (fn == static_cast<int>(GlFn::Count)) return false;
    call = GlCall{static_cast<GlFn>(fn), {}, {}};
    const char* at = line.c_str() + open + 1;
    for (char* end = nullptr;; at = end + (*end == ',' ? 1 : 0)) {
        const double value = std::strtod(at, &end);
        if (end == at) break;
        call.args.push_back(value);
    }
    return true;
}

}  // namespace recorder
