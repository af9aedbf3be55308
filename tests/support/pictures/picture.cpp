#include "support/pictures/picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace {

// A PPM larger than this is a broken capture, not a picture.
const int kLargestPpmSide = 20000;

}  // namespace

bool operator==(const Pixel& a, const Pixel& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

std::ostream& operator<<(std::ostream& out, const Pixel& pixel) {
    return out << "(" << pixel.r << ", " << pixel.g << ", " << pixel.b << ")";
}

bool near(const Pixel& a, const Pixel& b, int steps) {
    return std::abs(a.r - b.r) <= steps && std::abs(a.g - b.g) <= steps &&
           std::abs(a.b - b.b) <= steps;
}

Picture::Picture(int width, int height, std::vector<unsigned char> rgb)
    : width_(width), height_(height), rgb_(std::move(rgb)) {
    if (width < 0 || height < 0 || rgb_.size() != static_cast<size_t>(width) * height * 3)
        throw std::runtime_error("picture size does not match its pixels");
}

Picture Picture::fromPpm(const std::string& bytes) {
    int width = 0, height = 0, maximum = 0, header = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &header) != 3 ||
        maximum != 255 || width <= 0 || height <= 0 || width > kLargestPpmSide ||
        height > kLargestPpmSide)
        throw std::runtime_error("not an 8-bit binary PPM (" + std::to_string(bytes.size()) +
                                 " bytes)");
    // One white-space character ends the header.
    const auto first = bytes.begin() + header + 1;
    const size_t samples = size_t(width) * height * 3;
    if (bytes.end() - first < static_cast<long>(samples)) throw std::runtime_error("short PPM");
    return Picture(width, height, std::vector<unsigned char>(first, first + samples));
}

bool Picture::contains(int column, int row) const {
    return column >= 0 && row >= 0 && column < width_ && row < height_;
}

Pixel Picture::at(int column, int row) const {
    if (!contains(column, row))
        throw std::out_of_range("pixel (" + std::to_string(column) + ", " + std::to_string(row) +
                                ") outside a " + std::to_string(width_) + "x" +
                                std::to_string(height_) + " picture");
    const size_t i = (static_cast<size_t>(row) * width_ + column) * 3;
    return Pixel{rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

bool Picture::operator==(const Picture& other) const {
    return width_ == other.width_ && height_ == other.height_ && rgb_ == other.rgb_;
}

long Picture::unmatchedPixels(const Picture& other, int radius, int firstRow, int lastRow,
                              int steps) const {
    if (width_ != other.width_ || height_ != other.height_)
        return static_cast<long>(width_) * height_;
    long count = 0;
    for (int row = std::max(firstRow, 0); row <= std::min(lastRow, height_ - 1); ++row) {
        for (int column = 0; column < width_; ++column) {
            const Pixel colour = at(column, row);
            bool matched = false;
            for (int dy = -radius; dy <= radius && !matched; ++dy)
                for (int dx = -radius; dx <= radius && !matched; ++dx)
                    matched = other.contains(column + dx, row + dy) &&
                              near(colour, other.at(column + dx, row + dy), steps);
            if (!matched) ++count;
        }
    }
    return count;
}

int Picture::runThrough(int column, int row, const Pixel& colour, bool alongRow, int steps) const {
    const int dx = alongRow ? 1 : 0, dy = alongRow ? 0 : 1;
    int length = 0;
    for (int step : {-1, 1})
        for (int c = column, r = row; contains(c, r) && near(at(c, r), colour, steps);
             c += step * dx, r += step * dy)
            ++length;
    return length == 0 ? 0 : length - 1;  // the pixel itself was counted both ways
}

std::pair<int, int> Picture::extentInRow(int row, const Pixel& colour, int steps) const {
    int first = -1, last = -1;
    for (int column = 0; column < width_; ++column) {
        if (near(at(column, row), colour, steps)) {
            if (first < 0) first = column;
            last = column;
        }
    }
    return {first, last};
}

Difference compare(const Picture& a, const Picture& b, int steps) {
    Difference difference;
    if (a.width() != b.width() || a.height() != b.height()) {
        difference.pixels = static_cast<long>(a.width()) * a.height();
        return difference;
    }
    for (int row = 0; row < a.height(); ++row)
        for (int column = 0; column < a.width(); ++column)
            if (!near(a.at(column, row), b.at(column, row), steps)) {
                ++difference.pixels;
                difference.left = difference.left < 0 ? column : std::min(difference.left, column);
                difference.right = std::max(difference.right, column);
            }
    return difference;
}
