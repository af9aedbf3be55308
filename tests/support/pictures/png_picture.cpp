#include "support/pictures/picture.h"

#include <png.h>

#include <stdexcept>
#include <utility>

Picture readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        throw std::runtime_error("cannot read " + path + ": " + image.message);
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        throw std::runtime_error("cannot decode " + path + ": " + image.message);
    return Picture(static_cast<int>(image.width), static_cast<int>(image.height), std::move(rgb));
}
