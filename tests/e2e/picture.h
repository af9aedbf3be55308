// Captured window contents as 8-bit RGB, and the colours of the scene.
#ifndef HOUSE_TESTS_E2E_PICTURE_H
#define HOUSE_TESTS_E2E_PICTURE_H

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

bool operator==(const Rgb& a, const Rgb& b);
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// The scene's flat colours as a 24-bit visual shows them (channel * 255,
// rounded either way by the rasteriser).
extern const Rgb kSky;      // clear colour (0.2, 0.8, 1.0)
extern const Rgb kGround;   // (0.1, 0.8, 0)
extern const Rgb kDoor;     // front door and garage-door panel (0.5, 0, 0)
extern const Rgb kGate;     // gate leaves and pickets (0.7, 0, 0)
extern const Rgb kWall;     // (0.9, 0.85, 0.3)

// Software rasterisers may differ in the last bit of a channel.
const int kChannelTolerance = 3;

bool near(const Rgb& a, const Rgb& b, int tolerance = kChannelTolerance);

class Picture {
public:
    Picture() = default;
    Picture(int width, int height, std::vector<unsigned char> rgb);

    // Reads the 8-bit binary PPM (P6) that `import -depth 8 ppm:-` writes.
    static Picture fromPpm(const std::string& bytes);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int column, int row) const;
    Rgb at(int column, int row) const;  // row 0 is the top

    bool operator==(const Picture& other) const;
    bool operator!=(const Picture& other) const { return !(*this == other); }

    // Pixels whose colour differs from the other picture's at the same place.
    long differingPixels(const Picture& other) const;
    // Pixels of this picture, in rows first to last, with no pixel of the
    // same colour (within the channel tolerance) in the other picture within
    // `radius` pixels: a comparison that forgives small shifts.
    long unmatchedPixels(const Picture& other, int radius, int firstRow, int lastRow) const;

    // The length of the run of pixels near `colour` through (column, row),
    // along the row or (alongRow false) along the column.
    int runThrough(int column, int row, const Rgb& colour, bool alongRow) const;
    // The first and last column of the row whose pixel is near `colour`,
    // or (-1, -1).
    std::pair<int, int> extentInRow(int row, const Rgb& colour) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<unsigned char> rgb_;
};

// Reads an 8-bit RGB picture from a PNG file; throws if it cannot. Built
// where libpng is found (it is wherever the snapshot tool is built).
Picture readPng(const std::string& path);

}  // namespace e2e

#endif
