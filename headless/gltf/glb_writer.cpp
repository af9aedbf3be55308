#include "gltf/glb_writer.h"

#include "gltf/glb_binary.h"
#include "gltf/gltf_json.h"

namespace {

const uint32_t kGlbMagic = 0x46546C67;  // "glTF"
const uint32_t kGlbVersion = 2;
const uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
const uint32_t kBinaryChunk = 0x004E4942;  // "BIN\0"
const size_t kChunkAlignment = 4;

void appendChunk(std::vector<unsigned char>& out, uint32_t type, const unsigned char* data,
                 size_t length, unsigned char padding) {
    const size_t padded = (length + kChunkAlignment - 1) / kChunkAlignment * kChunkAlignment;
    appendLittleEndian(out, static_cast<uint32_t>(padded));
    appendLittleEndian(out, type);
    out.insert(out.end(), data, data + length);
    out.insert(out.end(), padded - length, padding);
}

}  // namespace

std::vector<unsigned char> glbBytes(const GltfDocument& document) {
    const GlbBinary binary = glbBinary(document);
    const std::string json = gltfJson(document, binary);
    std::vector<unsigned char> out;
    appendLittleEndian(out, kGlbMagic);
    appendLittleEndian(out, kGlbVersion);
    appendLittleEndian(out, 0);  // the whole length, filled in below
    // The JSON is padded with spaces, the binary chunk with zeros.
    appendChunk(out, kJsonChunk, reinterpret_cast<const unsigned char*>(json.data()), json.size(), ' ');
    if (!binary.bytes.empty())
        appendChunk(out, kBinaryChunk, binary.bytes.data(), binary.bytes.size(), 0);
    const uint32_t length = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[8 + i] = static_cast<unsigned char>(length >> (8 * i));
    return out;
}
