// The file house-bench-cpu writes one frame's triangles to and house-bench
// reads them from: an 8-byte tag, a 32-bit vertex count, then per vertex
// its world position and its colour as six 32-bit floats, in the byte
// order of the machine that wrote it (both ends run on the same machine).
#ifndef HOUSE_TOOLS_BENCH_TRIANGLE_FILE_H
#define HOUSE_TOOLS_BENCH_TRIANGLE_FILE_H

#include <string>
#include <vector>

struct TriangleVertex {
    float x, y, z;
    float red, green, blue;
};

bool writeTriangles(const std::string& path, const std::vector<TriangleVertex>& vertices);

// Leaves `vertices` empty and returns false on a missing, short or foreign file.
bool readTriangles(const std::string& path, std::vector<TriangleVertex>& vertices);

#endif
