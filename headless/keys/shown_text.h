// Text from the command line as a message shows it: in quotes, with every
// byte a terminal would act on rather than show (control characters, and
// bytes outside well-formed UTF-8) written as an escape, so that a message
// is always one line and says exactly what was given.
#ifndef HOUSE_KEYS_SHOWN_TEXT_H
#define HOUSE_KEYS_SHOWN_TEXT_H

#include <string>

// 'text', escaped: \n, \t, \\ and \xNN.
std::string quoted(const std::string& text);

// A word of the user's as quoted() shows it, cut short after
// kLongestShownWord characters and saying so: a mistyped word of a
// hundred thousand characters still gives a message of one short line.
const size_t kLongestShownWord = 40;
std::string quotedWord(const std::string& word);

// A whole number in decimal digits. Written here rather than with printf
// or std::to_string, which would bring printf into the page's program.
std::string decimal(long number);

#endif
