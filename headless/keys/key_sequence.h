// The key language: the keys to press, written as words, as house-snapshot's
// --keys reads them and the end-to-end tests type them, and as the page reads
// and writes its links with this same code, compiled into its program.
//
// A word is a key, or a key and a count: "Left", "o*54" (o pressed 54 times
// in a row). Words are separated by whitespace or by "~", so a sequence fits
// in a web address ("Left*12~o*54"). A printable character other than "~"
// stands for itself, case and all ("O" is not "o"); other keys have names,
// matched without regard to case: the arrows Left Right Up Down, PageUp
// PageDown Home End Insert, F1 to F12, and space plus minus asterisk (or
// star) tilde tab enter (or return) backspace delete. Escape is refused: it
// would end the program. A count is 1 to 10000, and a sequence holds at
// most 100000 presses.
#ifndef HOUSE_KEYS_KEY_SEQUENCE_H
#define HOUSE_KEYS_KEY_SEQUENCE_H

#include <string>
#include <vector>

// One key press as GLUT delivers it: a special key's code (GLUT_KEY_LEFT,
// ...) to specialKeys, or a character's code to keyboard.
struct KeyPress {
    bool special;
    int code;
};
bool operator==(const KeyPress& a, const KeyPress& b);

const long kMostRepeats = 10000;
const long kMostPresses = 100000;

// The key names and counts as the tools' --help texts write them, after
// their own lines on the program's keys; a macro, so that it joins their
// string literals.
#define HOUSE_KEY_NAMES_HELP                                                   \
    "  Left Right Up Down    orbit the camera (arrow keys)\n"                   \
    "  plus minus space asterisk (or star) tilde tab enter backspace delete\n"  \
    "  F1 to F12, PageUp PageDown Home End Insert\n"                            \
    "  Named keys ignore case. Escape is refused: it would end the program.\n"  \
    "  NAME*N presses a key N times in a row, N from 1 to 10000; a whole\n"     \
    "  sequence holds at most 100000 presses.\n"

// Appends the presses `text` spells to `presses`. If a word cannot be read,
// or the presses would number more than kMostPresses, returns false with a
// one-line message in `error` and leaves `presses` as it was.
bool parseKeySequence(const std::string& text, std::vector<KeyPress>& presses,
                      std::string& error);

// A run of one key pressed `count` times in a row.
struct KeyRun {
    KeyPress key;
    long count;
};

// Writes `runs` in the language to `text`, as parseKeySequence reads it
// back: a run as one counted word ("Left*12", or "Left" for one press),
// runs of one key next to each other as one, and past kMostRepeats as
// several words; the words joined by `separator` (" ", or "~" for a web
// address). A run of fewer than one press is left out. Returns false
// with a one-line message in `error`, leaving `text` as it was, for a key
// the language has no word for (Escape, or a character such as 0xe9) or
// more than kMostPresses presses in all.
bool formatKeyRuns(const std::vector<KeyRun>& runs, const std::string& separator,
                   std::string& text, std::string& error);

// Presses each key through the program's own key callbacks, in order, as
// its event loop would deliver them.
void pressKeys(const std::vector<KeyPress>& presses);

#endif
