// Entry point: opens the window, sets the GL state that never changes and
// hands the process to GLUT's event loop.
#include "app/frame.h"
#include "app/gl_state.h"
#include "viewer/keys.h"
#include "viewer/opengl.h"
#include "viewer/window.h"

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

    setFixedGlState();

    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(specialKeys);
    glutDisplayFunc(display);
    glutMainLoop();
    return 0;
}
