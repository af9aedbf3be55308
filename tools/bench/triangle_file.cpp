#include "triangle_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

const char kTag[8] = {'H', 'O', 'U', 'S', 'E', 'T', 'R', 'I'};

// A scene a hundred times larger than this one still fits; anything past
// it is a damaged file, not a frame.
const std::uint32_t kMaxVertices = 1u << 24;

}  // namespace

bool writeTriangles(const std::string& path, const std::vector<TriangleVertex>& vertices) {
    if (vertices.size() > kMaxVertices) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const std::uint32_t count = static_cast<std::uint32_t>(vertices.size());
    bool ok = std::fwrite(kTag, sizeof kTag, 1, file) == 1 &&
              std::fwrite(&count, sizeof count, 1, file) == 1 &&
              (count == 0 ||
               std::fwrite(vertices.data(), sizeof(TriangleVertex), count, file) == count);
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

bool readTriangles(const std::string& path, std::vector<TriangleVertex>& vertices) {
    vertices.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char tag[sizeof kTag];
    std::uint32_t count = 0;
    bool ok = std::fread(tag, sizeof tag, 1, file) == 1 &&
              std::memcmp(tag, kTag, sizeof kTag) == 0 &&
              std::fread(&count, sizeof count, 1, file) == 1 && count <= kMaxVertices &&
              count % 3 == 0;
    if (ok) {
        vertices.resize(count);
        ok = count == 0 ||
             std::fread(vertices.data(), sizeof(TriangleVertex), count, file) == count;
        char extra;
        ok = ok && std::fread(&extra, 1, 1, file) == 0;
    }
    std::fclose(file);
    if (!ok) vertices.clear();
    return ok;
}
