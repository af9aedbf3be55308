#include "snapshot/supersample.h"

#include <cstddef>

std::vector<unsigned char> averageBlocks(std::vector<unsigned char> drawn, int width, int height,
                                         int factor) {
    if (factor == 1) return drawn;
    const size_t drawnWidth = static_cast<size_t>(width) * static_cast<size_t>(factor);
    const unsigned samples = static_cast<unsigned>(factor * factor);
    std::vector<unsigned char> picture;
    picture.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (size_t channel = 0; channel < 3; ++channel) {
                unsigned sum = 0;
                for (int dy = 0; dy < factor; ++dy) {
                    const size_t row = static_cast<size_t>(y * factor + dy);
                    for (int dx = 0; dx < factor; ++dx) {
                        const size_t column = static_cast<size_t>(x * factor + dx);
                        sum += drawn[(row * drawnWidth + column) * 3 + channel];
                    }
                }
                picture.push_back(static_cast<unsigned char>((sum + samples / 2) / samples));
            }
    return picture;
}
