#include "png/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstring>

namespace {

// Where libpng writes, and the errno of a write that failed: the failure is
// reported once, by the caller, with the file's name and the system's
// reason, so libpng's own messages are silenced.
struct PngSink {
    FILE* stream;
    int error;
};

void writeToSink(png_structp png, png_bytep data, size_t length) {
    PngSink* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, sink->stream) != length) {
        sink->error = errno;
        png_error(png, "write failed");
    }
}

// The file is flushed once, when it is committed.
void flushNothing(png_structp) {}

[[noreturn]] void stopOnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void ignorePngWarning(png_structp, png_const_charp) {}

// libpng reports errors by long jump; nothing with a destructor lives
// between the setjmp and the calls that may jump.
bool encodePng(PngSink& sink, int width, int height, const unsigned char* rgb) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnPngError, ignorePngWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, writeToSink, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int row = 0; row < height; ++row) png_write_row(png, rgb + rowBytes * static_cast<size_t>(row));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(FILE* stream, int width, int height, const unsigned char* rgb, std::string& reason) {
    PngSink sink{stream, 0};
    if (encodePng(sink, width, height, rgb)) return true;
    reason = sink.error != 0 ? std::strerror(sink.error) : "the PNG encoder failed";
    return false;
}
