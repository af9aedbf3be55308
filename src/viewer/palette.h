// Every colour of the scene, by name. There is no lighting, so each one is
// exactly the colour a face shows.
#ifndef HOUSE_VIEWER_PALETTE_H
#define HOUSE_VIEWER_PALETTE_H

struct Rgb {
    float red;
    float green;
    float blue;
};

const Rgb kSkyBlue = {0.2f, 0.8f, 1.0f};        // the clear colour
const Rgb kGrassGreen = {0.1f, 0.8f, 0.0f};     // the ground square
const Rgb kWallYellow = {0.9f, 0.85f, 0.3f};
const Rgb kRoofRed = {0.5f, 0.0f, 0.0f};        // roof, canopy top, front and garage doors
const Rgb kFoundationRed = {0.35f, 0.0f, 0.0f}; // foundation band and terrace slab
const Rgb kBrickRed = {0.3f, 0.0f, 0.0f};       // chimneys and porch pillars
const Rgb kShadeRed = {0.2f, 0.0f, 0.0f};       // canopy underside, verges and ceiling
const Rgb kPicketRed = {0.7f, 0.0f, 0.0f};      // pickets and gate leaves
const Rgb kBlack = {0.0f, 0.0f, 0.0f};          // eave plane, garage-door frame, window bars
const Rgb kPaneGrey = {0.8f, 0.8f, 0.8f};
const Rgb kPavingGrey = {0.5f, 0.5f, 0.5f};
const Rgb kFenceWhite = {1.0f, 1.0f, 1.0f};     // posts and boards

#endif
