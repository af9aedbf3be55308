// The window main opens and the GL state it sets once, before the first
// frame. The tools that draw the scene without a window set the same state.
#ifndef HOUSE_APP_WINDOW_H
#define HOUSE_APP_WINDOW_H

#include "viewer/palette.h"

const int kWindowWidth = 500;
const int kWindowHeight = 500;
const int kWindowLeft = 100;
const int kWindowTop = 100;
const char kWindowTitle[] =
    "Orvend Tamsk i Ilvar Druneck - Projekt zaliczeniowy z Grafiki Komputerowej";

// The clear colour is the sky; its alpha is never read.
const float kClearAlpha = 0.0f;

#endif
