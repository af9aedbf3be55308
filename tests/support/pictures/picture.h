// Pictures as 8-bit RGB, read from the files and captures the tests and the
// benchmarks make, and the one way they are compared.
#ifndef HOUSE_PICTURES_PICTURE_H
#define HOUSE_PICTURES_PICTURE_H

#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct Pixel {
    int r = 0, g = 0, b = 0;
};

bool operator==(const Pixel& a, const Pixel& b);
std::ostream& operator<<(std::ostream& out, const Pixel& pixel);

// How many 8-bit steps two channels may lie apart and still show the same
// colour, by what parts them.
//
// None: one renderer drawing the same frame twice gives the same bytes.
const int kSameRendererSteps = 0;
// One: the same colour stored by two renderers, or by a window's visual and
// an off-screen buffer, may round to 8 bits either way; 0.1, 0.5 and 0.9
// of 255 lie half-way between two steps.
const int kRoundingSteps = 1;
// Three: a window read back through the X server against a picture drawn
// off-screen, or against a colour written down by hand as its nearest step:
// a rounding on each side, and a step of room for the visual's own.
const int kCaptureSteps = 3;

bool near(const Pixel& a, const Pixel& b, int steps);

class Picture {
public:
    Picture() = default;
    // rgb holds width * height pixels, three bytes each, top row first.
    Picture(int width, int height, std::vector<unsigned char> rgb);

    // Reads the 8-bit binary PPM (P6) that `import -depth 8 ppm:-` writes.
    static Picture fromPpm(const std::string& bytes);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int column, int row) const;
    Pixel at(int column, int row) const;  // row 0 is the top

    bool operator==(const Picture& other) const;

    // Pixels of this picture, in rows first to last, with no pixel near in
    // colour in the other picture within `radius` pixels: a comparison that
    // forgives small shifts.
    long unmatchedPixels(const Picture& other, int radius, int firstRow, int lastRow,
                         int steps) const;

    // The length of the run of pixels near `colour` through (column, row),
    // along the row or (alongRow false) along the column.
    int runThrough(int column, int row, const Pixel& colour, bool alongRow, int steps) const;
    // The first and last column of the row whose pixel is near `colour`,
    // or (-1, -1).
    std::pair<int, int> extentInRow(int row, const Pixel& colour, int steps) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<unsigned char> rgb_;
};

// Where two pictures of one size differ: the pixels with a channel more
// than `steps` apart, and the first and last column holding one (-1 when
// none does). Pictures of different sizes differ everywhere.
struct Difference {
    long pixels = 0;
    int left = -1, right = -1;
};
Difference compare(const Picture& a, const Picture& b, int steps);

// Reads an 8-bit RGB picture from a PNG file; throws if it cannot. Built
// where libpng is found.
Picture readPng(const std::string& path);

#endif
