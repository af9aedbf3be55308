// The frame and the projection: the two GLUT callbacks the application
// shell owns.
#ifndef HOUSE_APP_FRAME_H
#define HOUSE_APP_FRAME_H

// Clears, places the camera and draws the whole scene, then swaps buffers.
void display();

// Fits the viewport and the perspective projection to a new window size,
// and leaves the projection matrix selected.
void reshape(int width, int height);

#endif
