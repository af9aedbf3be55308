#include "keys/shown_text.h"

namespace {

const unsigned char kLastControl = 0x1f;
const unsigned char kDelete = 0x7f;

bool continuationByte(unsigned char byte) { return (byte & 0xc0) == 0x80; }

// The length of the well-formed UTF-8 sequence of a printable character
// at text[at], or 0 (also for the C1 controls, U+0080 to U+009F).
size_t printableUtf8Length(const std::string& text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0xc2 ? 0 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : lead < 0xf5 ? 4 : 0;
    for (size_t next = at + 1; next < at + length; ++next)
        if (next >= text.size() || !continuationByte(static_cast<unsigned char>(text[next])))
            return 0;
    return lead == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0 ? 0 : length;
}

std::string escaped(unsigned char byte) {
    if (byte == '\n') return "\\n";
    if (byte == '\t') return "\\t";
    if (byte == '\\') return "\\\\";
    const char kHexDigits[] = "0123456789abcdef";
    return std::string("\\x") + kHexDigits[byte >> 4] + kHexDigits[byte & 0xf];
}

// Characters as UTF-8 counts them: every byte that does not continue one.
size_t characters(const std::string& text) {
    size_t count = 0;
    for (char byte : text) count += !continuationByte(static_cast<unsigned char>(byte));
    return count;
}

}  // namespace

std::string quoted(const std::string& text) {
    std::string shown = "'";
    for (size_t at = 0; at < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        const bool plainAscii = byte > kLastControl && byte < kDelete && byte != '\\';
        const size_t printable = byte > kDelete ? printableUtf8Length(text, at) : plainAscii;
        if (printable > 0) {
            shown.append(text, at, printable);
            at += printable;
        } else {
            shown += escaped(byte);
            ++at;
        }
    }
    return shown + "'";
}

std::string quotedWord(const std::string& word) {
    const size_t length = characters(word);
    if (length <= kLongestShownWord) return quoted(word);
    // The bytes up to where character kLongestShownWord + 1 begins.
    size_t end = 0;
    for (size_t kept = 0; end < word.size(); ++end) {
        const bool starts = !continuationByte(static_cast<unsigned char>(word[end]));
        if (starts && kept == kLongestShownWord) break;
        kept += starts;
    }
    return quoted(word.substr(0, end)) + " (cut short: the first " +
           decimal(kLongestShownWord) + " of " + decimal(static_cast<long>(length)) + " characters)";
}

std::string decimal(long number) {
    // The magnitude unsigned, so that the most negative number has one too;
    // its digits from the last.
    unsigned long rest = number < 0 ? 0ul - static_cast<unsigned long>(number) : static_cast<unsigned long>(number);
    char digits[24];
    char* first = digits + sizeof digits;
    do {
        *--first = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest > 0);
    if (number < 0) *--first = '-';
    return std::string(first, digits + sizeof digits);
}
