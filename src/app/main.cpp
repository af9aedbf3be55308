// Entry point: opens the window, sets the GL state that never changes and
// hands the process to GLUT's event loop.
#include "app/frame.h"
#include "viewer/keys.h"
#include "viewer/opengl.h"

namespace {

const int kWindowWidth = 500;
const int kWindowHeight = 500;
const int kWindowLeft = 100;
const int kWindowTop = 100;
const char kWindowTitle[] =
    "Orvend Tamsk i Ilvar Druneck - Projekt zaliczeniowy z Grafiki Komputerowej";

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(kWindowWidth, kWindowHeight);
    glutInitWindowPosition(kWindowLeft, kWindowTop);
    // The program's own path stands as the title until the real one is set.
    // A process started with an empty argument vector has no path at all.
    const char* provisionalTitle = (argc > 0 && argv[0] != nullptr) ? argv[0] : "";
    glutCreateWindow(provisionalTitle);
    glutSetWindowTitle(kWindowTitle);

    glEnable(GL_DEPTH_TEST);
    glClearColor(0.2f, 0.8f, 1.0f, 0.0f);

    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(specialKeys);
    glutDisplayFunc(display);
    glutMainLoop();
    return 0;
}
