// Key callbacks.
//
// Every update widens the float fields to double, computes with double
// constants and rounds to float when it stores; every guard compares a
// widened field with a double constant. That is why a gate opened once
// closes only to 0.0299999993 (the float nearest 0.03 lies below the double
// 0.03) and why the azimuth wraps at 6.28 rather than at 2 pi.
#include "viewer/keys.h"

#include <cmath>
#include <cstdlib>

#include "viewer/opengl.h"
#include "viewer/scene_state.h"
#include "viewer/window.h"

namespace {

const unsigned char kEscapeKey = 27;
const unsigned char kZoomInKey = '+';
const unsigned char kZoomOutKey = '-';
const unsigned char kFullScreenKey = 'f';
const unsigned char kWindowKey = 'w';

const double kZoomInFactor = 0.99;
const double kZoomOutFactor = 1.01;
const double kZoomInLimit = 100.0;

const double kAzimuthStep = 0.07;
const double kAzimuthWrap = 6.28;
const double kElevationStep = 0.03;
const double kElevationCeiling = 1.4;
const double kEyeHeightFloor = -3.0;

const double kGateStep = 0.03;
const double kGateOpenLimit = 1.6;
const double kGateCloseLimit = 0.03;

// A gate and its keys: the angle it swings by and the leaf offsets derived
// from it.
struct GateControl {
    unsigned char openKey;
    unsigned char closeKey;
    float SceneState::*angle;
    float SceneState::*leafDX;
    float SceneState::*leafDZ;
    double leafReach;
};

const GateControl kGates[] = {
    {'o', 'c', &SceneState::driveGateAngle, &SceneState::driveGateLeafDX,
     &SceneState::driveGateLeafDZ, 24.0},
    {'x', 'z', &SceneState::walkGateAngle, &SceneState::walkGateLeafDX,
     &SceneState::walkGateLeafDZ, 12.8},
};

// Zoom moves the eye along its line through the origin; only the ground
// radius is recomputed from the angle.
void zoom(double factor) {
    const float x = static_cast<float>(scene.eyeX * factor);
    const float y = static_cast<float>(scene.eyeY * factor);
    const float z = static_cast<float>(scene.eyeZ * factor);
    const float distance = static_cast<float>(scene.eyeDistance * factor);
    // Past FLT_MAX the eye would be lost for good: "+" could never bring an
    // infinite distance back, so the zoom stops one step short of it.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) ||
        !std::isfinite(distance)) {
        return;
    }
    scene.eyeX = x;
    scene.eyeY = y;
    scene.eyeZ = z;
    scene.eyeDistance = distance;
    scene.eyeGroundRadius =
        static_cast<float>(std::cos(double{scene.eyeElevation}) * scene.eyeDistance);
}

void swingGate(const GateControl& gate, double step) {
    float& angle = scene.*gate.angle;
    angle = static_cast<float>(angle + step);
    scene.*gate.leafDZ = static_cast<float>(std::sin(double{angle}) * gate.leafReach);
    scene.*gate.leafDX = static_cast<float>(std::cos(double{angle}) * gate.leafReach);
}

// Swings the gate the key belongs to, if any, within its limits.
void gateKey(unsigned char key) {
    for (const GateControl& gate : kGates) {
        const double angle = scene.*gate.angle;
        if (key == gate.openKey) {
            if (angle < kGateOpenLimit) swingGate(gate, kGateStep);
            return;
        }
        if (key == gate.closeKey) {
            if (angle >= kGateCloseLimit) swingGate(gate, -kGateStep);
            return;
        }
    }
}

// Horizontal placement of the eye: Z first, then X.
void placeEyeHorizontally() {
    scene.eyeZ = static_cast<float>(std::sin(double{scene.eyeAzimuth}) * scene.eyeGroundRadius);
    scene.eyeX = static_cast<float>(std::cos(double{scene.eyeAzimuth}) * scene.eyeGroundRadius);
}

void turnEye(double step) {
    scene.eyeAzimuth = static_cast<float>(scene.eyeAzimuth + step);
    // Each direction checks only the bound it moves towards.
    if (step > 0 && scene.eyeAzimuth > kAzimuthWrap) {
        scene.eyeAzimuth = static_cast<float>(scene.eyeAzimuth - kAzimuthWrap);
    } else if (step < 0 && scene.eyeAzimuth < -kAzimuthWrap) {
        scene.eyeAzimuth = static_cast<float>(scene.eyeAzimuth + kAzimuthWrap);
    }
    placeEyeHorizontally();
}

void tiltEye(double step) {
    scene.eyeElevation = static_cast<float>(scene.eyeElevation + step);
    scene.eyeGroundRadius =
        static_cast<float>(std::cos(double{scene.eyeElevation}) * scene.eyeDistance);
    scene.eyeY = static_cast<float>(std::sin(double{scene.eyeElevation}) * scene.eyeDistance);
    placeEyeHorizontally();
}

}  // namespace

void keyboard(unsigned char key, int /*x*/, int /*y*/) {
    if (key == kEscapeKey) {
        std::exit(0);
    }
    if (key == kZoomInKey) {
        if (scene.eyeDistance > kZoomInLimit) zoom(kZoomInFactor);
    } else if (key == kZoomOutKey) {
        zoom(kZoomOutFactor);
    } else if (key == kFullScreenKey) {
        glutFullScreen();
    } else if (key == kWindowKey) {
        // Back to the size the window opened with.
        glutReshapeWindow(kWindowWidth, kWindowHeight);
    } else {
        gateKey(key);
    }
    glutPostRedisplay();
}

void specialKeys(int key, int /*x*/, int /*y*/) {
    switch (key) {
    case GLUT_KEY_LEFT:
        turnEye(kAzimuthStep);
        break;
    case GLUT_KEY_RIGHT:
        turnEye(-kAzimuthStep);
        break;
    case GLUT_KEY_UP:
        if (scene.eyeElevation < kElevationCeiling) tiltEye(kElevationStep);
        break;
    case GLUT_KEY_DOWN:
        if (scene.eyeY > kEyeHeightFloor) tiltEye(-kElevationStep);
        break;
    default:
        break;
    }
    glutPostRedisplay();
}
