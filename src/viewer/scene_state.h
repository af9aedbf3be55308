// The one record every part of the program talks through.
//
// Camera and gates are written only by the key callbacks; the drawing cursor
// is a set of registers a placing routine fills before it calls a stamp.
// Every field is a 32-bit float on purpose: updates compute in double and
// round on store, and the gate limits and fence positions depend on that.
#ifndef HOUSE_VIEWER_SCENE_STATE_H
#define HOUSE_VIEWER_SCENE_STATE_H

struct SceneState {
    // Camera: Cartesian eye position and the spherical coordinates it is
    // recomputed from.
    float eyeX;
    float eyeY;
    float eyeZ;
    float eyeAzimuth;
    float eyeElevation;
    float eyeDistance;
    float eyeGroundRadius;

    // Gates: swing angle and the hinge-to-free-end vector of a leaf.
    float driveGateAngle;
    float driveGateLeafDX;
    float driveGateLeafDZ;
    float walkGateAngle;
    float walkGateLeafDX;
    float walkGateLeafDZ;

    // Drawing cursor: where the next stamp draws.
    float cursorX;
    float cursorY;
    float cursorZ;
    float cursorHeight;
};

extern SceneState scene;

// The values the program starts with; `scene` is initialised from them.
extern const SceneState kInitialScene;

#endif
