// JSON written as it goes, for the glTF document's text: each value knows
// whether a comma must come before it from whether its array or object
// has had one yet.
#ifndef HOUSE_GLTF_JSON_TEXT_H
#define HOUSE_GLTF_JSON_TEXT_H

#include <cstddef>
#include <string>
#include <vector>

struct Json {
    std::string text;
    std::vector<bool> levelEmpty;
    bool afterKey = false;

    void open(char bracket);
    void close(char bracket);
    void string(const std::string& value);
    void key(const char* name);
    void boolean(bool value);
    void integer(size_t value);
    void number(float value);
    void floats(const float* values, size_t count);

private:
    void separate();
};

// A float as the shortest decimal text that reads back as the same float
// ("0.1", not "0.100000001"). Throws for infinities and NaN, which JSON
// cannot hold.
std::string floatText(float value);

#endif
