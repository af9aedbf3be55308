// Supersampling: a picture drawn N times as wide and high, averaged down to
// smooth its edges.
#ifndef HOUSE_SNAPSHOT_SUPERSAMPLE_H
#define HOUSE_SNAPSHOT_SUPERSAMPLE_H

#include <vector>

// The width x height picture (RGB, top row first) from one drawn `factor`
// times as wide and high: each pixel is the rounded mean of its
// factor x factor block.
std::vector<unsigned char> averageBlocks(std::vector<unsigned char> drawn, int width, int height,
                                         int factor);

#endif
