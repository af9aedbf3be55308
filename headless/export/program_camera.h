// The camera as the program sets it for a window of some size: reshape()
// the projection, display() the eye. Read off the calls they make against
// the recording stand-in, so that it is exactly the program's.
#ifndef HOUSE_EXPORT_PROGRAM_CAMERA_H
#define HOUSE_EXPORT_PROGRAM_CAMERA_H

#include "call_readers/drawn_groups.h"

struct ProgramCamera {
    Vec3 eye, centre, up;  // as handed to gluLookAt
    double fieldOfViewDegrees, aspect, nearPlane, farPlane;  // as handed to gluPerspective
};

// For the scene as it stands; leaves the record cleared. Throws
// std::logic_error if the program places no camera.
ProgramCamera programCamera(int width, int height);

#endif
