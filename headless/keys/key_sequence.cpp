#include "keys/key_sequence.h"

#include <cctype>
#include <cstdlib>

#include "keys/shown_text.h"
#include "viewer/keys.h"
#include "viewer/opengl.h"

namespace {

const char kSeparators[] = " \t\n\r~";
const int kFunctionKeys = 12;
const unsigned char kFirstPrintable = '!';
const unsigned char kDelete = 0x7f;

struct NamedKey {
    const char* name;
    bool special;
    int code;
};

// Keys that cannot be written as themselves: the separators and the repeat
// mark, control characters, and the special keys.
const NamedKey kNamedKeys[] = {
    {"space", false, ' '},      {"plus", false, '+'},
    {"minus", false, '-'},      {"asterisk", false, '*'},
    {"star", false, '*'},       {"tilde", false, '~'},
    {"tab", false, '\t'},       {"enter", false, '\r'},
    {"return", false, '\r'},    {"backspace", false, 8},
    {"delete", false, kDelete}, {"left", true, GLUT_KEY_LEFT},
    {"right", true, GLUT_KEY_RIGHT}, {"up", true, GLUT_KEY_UP},
    {"down", true, GLUT_KEY_DOWN},   {"pageup", true, GLUT_KEY_PAGE_UP},
    {"pagedown", true, GLUT_KEY_PAGE_DOWN}, {"home", true, GLUT_KEY_HOME},
    {"end", true, GLUT_KEY_END},     {"insert", true, GLUT_KEY_INSERT},
};

bool sameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return i == a.size() && b[i] == '\0';
}

// A whole number from 1 to `largest` in plain digits, no more of them than
// `largest` has, so that reading it cannot overflow.
bool countUpTo(const std::string& text, long largest, long& value) {
    if (text.empty() || text.size() > std::to_string(largest).size()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::atol(text.c_str());
    return value >= 1 && value <= largest;
}

// A named key or a single printable character; false with a message if
// the word names neither, or names Escape.
bool keyNamed(const std::string& name, KeyPress& press, std::string& error) {
    const unsigned char first = static_cast<unsigned char>(name[0]);
    if (name.size() == 1 && first >= kFirstPrintable && first < kDelete) {
        press = KeyPress{false, first};
        return true;
    }
    if (sameIgnoringCase(name, "escape") || sameIgnoringCase(name, "esc")) {
        error = "key " + quotedWord(name) + " is refused: Escape would end the program";
        return false;
    }
    for (const NamedKey& key : kNamedKeys)
        if (sameIgnoringCase(name, key.name)) {
            press = KeyPress{key.special, key.code};
            return true;
        }
    long number = 0;
    if ((first == 'F' || first == 'f') && countUpTo(name.substr(1), kFunctionKeys, number)) {
        press = KeyPress{true, GLUT_KEY_F1 + static_cast<int>(number) - 1};
        return true;
    }
    error = "unknown key name " + quotedWord(name);
    return false;
}

// NAME or NAME*N. The repeat mark is the last '*' that is not the first
// character, so "*" and "**3" name the asterisk key itself.
bool addWord(const std::string& word, std::vector<KeyPress>& presses, std::string& error) {
    const size_t star = word.rfind('*');
    std::string name = word;
    long repeat = 1;
    if (star != std::string::npos && star > 0) {
        name = word.substr(0, star);
        if (!countUpTo(word.substr(star + 1), kMostRepeats, repeat)) {
            error = "bad repeat count in " + quotedWord(word) +
                    ": N in NAME*N must be a whole number from 1 to " + std::to_string(kMostRepeats);
            return false;
        }
    }
    KeyPress press{};
    if (!keyNamed(name, press, error)) return false;
    if (static_cast<long>(presses.size()) + repeat > kMostPresses) {
        error = "too many key presses: at most " + std::to_string(kMostPresses) + " in all";
        return false;
    }
    presses.insert(presses.end(), static_cast<size_t>(repeat), press);
    return true;
}

}  // namespace

bool operator==(const KeyPress& a, const KeyPress& b) {
    return a.special == b.special && a.code == b.code;
}

bool parseKeySequence(const std::string& text, std::vector<KeyPress>& presses,
                      std::string& error) {
    std::vector<KeyPress> read = presses;
    for (size_t start = text.find_first_not_of(kSeparators); start != std::string::npos;) {
        const size_t end = text.find_first_of(kSeparators, start);
        if (!addWord(text.substr(start, end - start), read, error)) return false;
        start = text.find_first_not_of(kSeparators, end);
    }
    presses.swap(read);
    return true;
}

void pressKeys(const std::vector<KeyPress>& presses) {
    for (const KeyPress& press : presses) {
        if (press.special)
            specialKeys(press.code, 0, 0);
        else
            keyboard(static_cast<unsigned char>(press.code), 0, 0);
    }
}
