// Entry point: opens the window, sets the GL state that never changes and
// hands the process to GLUT's event loop.
#include "app/frame.h"
#include "app/window.h"
#include "viewer/keys.h"
#include "viewer/opengl.h"

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
    glClearColor(kSkyBlue.red, kSkyBlue.green, kSkyBlue.blue, kClearAlpha);

    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(specialKeys);
    glutDisplayFunc(display);
    glutMainLoop();
    return 0;
}
