// The window main opens: its size, its place and its title. The 'w' key
// puts the window back to this size, and the tools and tests that draw or
// look for the window use the same figures. The title stays on one line:
// scripts read it from here.
#ifndef HOUSE_VIEWER_WINDOW_H
#define HOUSE_VIEWER_WINDOW_H

const int kWindowWidth = 500;
const int kWindowHeight = 500;
const int kWindowLeft = 100;
const int kWindowTop = 100;
const char kWindowTitle[] = "Orvend Tamsk i Ilvar Druneck - Projekt zaliczeniowy z Grafiki Komputerowej";

#endif
