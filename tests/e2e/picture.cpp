#include "picture.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace e2e {

const Rgb kSky{51, 204, 255};
const Rgb kGround{26, 204, 0};
const Rgb kDoor{128, 0, 0};
const Rgb kGate{179, 0, 0};
const Rgb kWall{230, 217, 77};

bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

bool near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

Picture::Picture(int width, int height, std::vector<unsigned char> rgb)
    : width_(width), height_(height), rgb_(std::move(rgb)) {
    if (width < 0 || height < 0 || rgb_.size() != static_cast<size_t>(width) * height * 3)
        throw std::runtime_error("picture size does not match its pixels");
}

namespace {

// Reads the next header field of a PPM, skipping white space and comments.
long headerNumber(const std::string& bytes, size_t& at) {
    for (;;) {
        while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at]))) ++at;
        if (at < bytes.size() && bytes[at] == '#') {
            while (at < bytes.size() && bytes[at] != '\n') ++at;
            continue;
        }
        break;
    }
    const size_t start = at;
    while (at < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[at]))) ++at;
    if (at == start || at - start > 9) throw std::runtime_error("bad PPM header");
    return std::stol(bytes.substr(start, at - start));
}

}  // namespace

Picture Picture::fromPpm(const std::string& bytes) {
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        throw std::runtime_error("not a binary PPM (" + std::to_string(bytes.size()) + " bytes)");
    size_t at = 2;
    const long width = headerNumber(bytes, at);
    const long height = headerNumber(bytes, at);
    const long maximum = headerNumber(bytes, at);
    ++at;  // the single white-space character before the samples
    if (width <= 0 || height <= 0 || width > 20000 || height > 20000 ||
        (maximum != 255 && maximum != 65535))
        throw std::runtime_error("unsupported PPM header");
    const size_t samples = static_cast<size_t>(width) * height * 3;
    const size_t sampleBytes = maximum == 255 ? 1 : 2;
    if (bytes.size() < at + samples * sampleBytes) throw std::runtime_error("short PPM");
    std::vector<unsigned char> rgb(samples);
    for (size_t i = 0; i < samples; ++i) {
        if (sampleBytes == 1) {
            rgb[i] = static_cast<unsigned char>(bytes[at + i]);
        } else {
            const unsigned high = static_cast<unsigned char>(bytes[at + 2 * i]);
            const unsigned low = static_cast<unsigned char>(bytes[at + 2 * i + 1]);
            rgb[i] = static_cast<unsigned char>(((high << 8 | low) * 255 + 32767) / 65535);
        }
    }
    return Picture(static_cast<int>(width), static_cast<int>(height), std::move(rgb));
}

bool Picture::contains(int column, int row) const {
    return column >= 0 && row >= 0 && column < width_ && row < height_;
}

Rgb Picture::at(int column, int row) const {
    if (!contains(column, row))
        throw std::out_of_range("pixel (" + std::to_string(column) + ", " + std::to_string(row) +
                                ") outside a " + std::to_string(width_) + "x" +
                                std::to_string(height_) + " picture");
    const size_t i = (static_cast<size_t>(row) * width_ + column) * 3;
    return Rgb{rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

bool Picture::operator==(const Picture& other) const {
    return width_ == other.width_ && height_ == other.height_ && rgb_ == other.rgb_;
}

long Picture::differingPixels(const Picture& other) const {
    if (width_ != other.width_ || height_ != other.height_)
        return static_cast<long>(width_) * height_;
    long count = 0;
    for (int row = 0; row < height_; ++row)
        for (int column = 0; column < width_; ++column)
            if (!near(at(column, row), other.at(column, row))) ++count;
    return count;
}

long Picture::unmatchedPixels(const Picture& other, int radius, int firstRow,
                              int lastRow) const {
    if (width_ != other.width_ || height_ != other.height_)
        return static_cast<long>(width_) * height_;
    long count = 0;
    for (int row = std::max(firstRow, 0); row <= std::min(lastRow, height_ - 1); ++row) {
        for (int column = 0; column < width_; ++column) {
            const Rgb colour = at(column, row);
            bool matched = false;
            for (int dy = -radius; dy <= radius && !matched; ++dy)
                for (int dx = -radius; dx <= radius && !matched; ++dx)
                    matched = other.contains(column + dx, row + dy) &&
                              near(colour, other.at(column + dx, row + dy));
            if (!matched) ++count;
        }
    }
    return count;
}

int Picture::runAlongRow(int column, int row, const Rgb& colour) const {
    if (!contains(column, row) || !near(at(column, row), colour)) return 0;
    int first = column, last = column;
    while (first > 0 && near(at(first - 1, row), colour)) --first;
    while (last + 1 < width_ && near(at(last + 1, row), colour)) ++last;
    return last - first + 1;
}

int Picture::runAlongColumn(int column, int row, const Rgb& colour) const {
    if (!contains(column, row) || !near(at(column, row), colour)) return 0;
    int first = row, last = row;
    while (first > 0 && near(at(column, first - 1), colour)) --first;
    while (last + 1 < height_ && near(at(column, last + 1), colour)) ++last;
    return last - first + 1;
}

std::pair<int, int> Picture::extentInRow(int row, const Rgb& colour) const {
    int first = -1, last = -1;
    for (int column = 0; column < width_; ++column) {
        if (near(at(column, row), colour)) {
            if (first < 0) first = column;
            last = column;
        }
    }
    return {first, last};
}

void Picture::writePpm(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fprintf(file, "P6\n%d %d\n255\n", width_, height_);
    std::fwrite(rgb_.data(), 1, rgb_.size(), file);
    std::fclose(file);
}

}  // namespace e2e
