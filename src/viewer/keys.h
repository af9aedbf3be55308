// The two GLUT key callbacks: the only writers of the camera and gate
// fields of the scene state.
#ifndef HOUSE_VIEWER_KEYS_H
#define HOUSE_VIEWER_KEYS_H

// Character keys: zoom, gates, full screen, window reset and Escape.
void keyboard(unsigned char key, int x, int y);

// Arrow keys: orbit the eye over a sphere round the origin.
void specialKeys(int key, int x, int y);

#endif
