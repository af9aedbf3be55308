#include "gltf/json_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

const size_t kFloatDigitsAtLeast = 6;
const size_t kFloatDigitsAtMost = 9;  // enough for any float to read back

}  // namespace

void Json::separate() {
    if (afterKey) {
        afterKey = false;
    } else if (!levelEmpty.empty()) {
        if (!levelEmpty.back()) text += ',';
        levelEmpty.back() = false;
    }
}

void Json::open(char bracket) {
    separate();
    text += bracket;
    levelEmpty.push_back(true);
}

void Json::close(char bracket) {
    text += bracket;
    levelEmpty.pop_back();
}

void Json::string(const std::string& value) {
    separate();
    text += '"';
    for (unsigned char c : value) {
        if (c == '"' || c == '\\') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            text += escape;
        } else {
            text += static_cast<char>(c);
        }
    }
    text += '"';
}

void Json::key(const char* name) {
    string(name);
    text += ':';
    afterKey = true;
}

void Json::boolean(bool value) {
    separate();
    text += value ? "true" : "false";
}

void Json::integer(size_t value) {
    separate();
    text += std::to_string(value);
}

void Json::number(float value) {
    separate();
    text += floatText(value);
}

void Json::floats(const float* values, size_t count) {
    open('[');
    for (size_t i = 0; i < count; ++i) number(values[i]);
    close(']');
}

std::string floatText(float value) {
    if (!std::isfinite(value)) throw std::invalid_argument("a number that JSON cannot hold");
    char text[32];
    for (size_t digits = kFloatDigitsAtLeast; digits <= kFloatDigitsAtMost; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", static_cast<int>(digits), static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return text;
}
