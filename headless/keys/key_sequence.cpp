#include "keys/key_sequence.h"

#include <cctype>
#include <cstdlib>
#include <iterator>

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

// Keys that cannot be written as themselves (the separators and the repeat
// mark, control characters, and the special keys), by the name the
// language writes for them.
const NamedKey kWrittenNames[] = {
    {"space", false, ' '},          {"tilde", false, '~'},
    {"tab", false, '\t'},           {"enter", false, '\r'},
    {"backspace", false, 8},        {"delete", false, kDelete},
    {"Left", true, GLUT_KEY_LEFT},  {"Right", true, GLUT_KEY_RIGHT},
    {"Up", true, GLUT_KEY_UP},      {"Down", true, GLUT_KEY_DOWN},
    {"PageUp", true, GLUT_KEY_PAGE_UP}, {"PageDown", true, GLUT_KEY_PAGE_DOWN},
    {"Home", true, GLUT_KEY_HOME},  {"End", true, GLUT_KEY_END},
    {"Insert", true, GLUT_KEY_INSERT},
};
// Names that are read but not written: of keys that also stand for
// themselves, and second names.
const NamedKey kOtherNames[] = {
    {"plus", false, '+'},     {"minus", false, '-'}, {"asterisk", false, '*'},
    {"star", false, '*'},     {"return", false, '\r'},
};

// Whether `a` is the name `b`, in ASCII letters of either case.
bool sameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

bool namedKey(const std::string& name, const NamedKey* first, const NamedKey* last, KeyPress& press) {
    for (const NamedKey* key = first; key != last; ++key)
        if (sameIgnoringCase(name, key->name)) {
            press = KeyPress{key->special, key->code};
            return true;
        }
    return false;
}

std::string tooManyPresses() {
    return "too many key presses: at most " + decimal(kMostPresses) + " in all";
}

// A whole number from 1 to `largest` in plain digits, no more of them than
// `largest` has, so that reading it cannot overflow.
bool countUpTo(const std::string& text, long largest, long& value) {
    if (text.empty() || text.size() > decimal(largest).size()) return false;
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
    if (namedKey(name, std::begin(kWrittenNames), std::end(kWrittenNames), press) ||
        namedKey(name, std::begin(kOtherNames), std::end(kOtherNames), press))
        return true;
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
                    ": N in NAME*N must be a whole number from 1 to " + decimal(kMostRepeats);
            return false;
        }
    }
    KeyPress press{};
    if (!keyNamed(name, press, error)) return false;
    if (static_cast<long>(presses.size()) + repeat > kMostPresses) {
        error = tooManyPresses();
        return false;
    }
    presses.insert(presses.end(), static_cast<size_t>(repeat), press);
    return true;
}

// The word for one press of `key`: its name, or the character itself.
bool wordFor(const KeyPress& key, std::string& word) {
    for (const NamedKey& named : kWrittenNames)
        if (named.special == key.special && named.code == key.code) {
            word = named.name;
            return true;
        }
    if (key.special && key.code >= GLUT_KEY_F1 && key.code < GLUT_KEY_F1 + kFunctionKeys) {
        word = "F" + decimal(key.code - GLUT_KEY_F1 + 1);
        return true;
    }
    if (!key.special && key.code >= kFirstPrintable && key.code < kDelete) {
        word = std::string(1, static_cast<char>(key.code));
        return true;
    }
    return false;
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

bool formatKeyRuns(const std::vector<KeyRun>& runs, const std::string& separator,
                   std::string& text, std::string& error) {
    // Counted before the words, each run no more than the limit, so that
    // the sum cannot overflow.
    long presses = 0;
    for (const KeyRun& run : runs) {
        if (run.count < 1) continue;
        if (run.count > kMostPresses - presses) {
            error = tooManyPresses();
            return false;
        }
        presses += run.count;
    }
    std::string written;
    for (size_t at = 0; at < runs.size();) {
        if (runs[at].count < 1) {
            ++at;
            continue;
        }
        const KeyPress key = runs[at].key;
        std::string word;
        if (!wordFor(key, word)) {
            error = std::string("no word for the key {\"special\":") + (key.special ? "true" : "false") +
                    ",\"code\":" + decimal(key.code) + ",\"count\":" + decimal(runs[at].count) + "}";
            return false;
        }
        long count = 0;
        for (; at < runs.size() && (runs[at].key == key || runs[at].count < 1); ++at)
            if (runs[at].count > 0) count += runs[at].count;
        for (; count > 0; count -= kMostRepeats) {
            if (!written.empty()) written += separator;
            written += word;
            if (count > 1) written += "*" + decimal(count < kMostRepeats ? count : kMostRepeats);
        }
    }
    text.swap(written);
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
