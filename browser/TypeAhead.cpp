#include "browser/TypeAhead.h"

namespace browser {

namespace {
unsigned char UpperAscii(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 32) : u;
}

unsigned char CharAt(const std::string& text, size_t k) {
    return k < text.size() ? UpperAscii(text[k]) : 0;
}
} // namespace

int TypeAheadIndex(const std::vector<std::string>& entries, const std::string& text) {
    if (entries.empty())
        return -1;
    int low = 0;
    int high = static_cast<int>(entries.size()) - 1;
    for (size_t k = 0; k < text.size(); ++k) {
        unsigned char c = UpperAscii(text[k]);
        int newLow = -1;
        int matches = 0;
        for (int i = low; i <= high; ++i) {
            unsigned char d = CharAt(entries[static_cast<size_t>(i)], k);
            if (c == d) {
                if (matches++ == 0)
                    newLow = i; // the first match wins over an earlier "less"
            } else if (c < d && newLow < 0) {
                newLow = i;
            }
        }
        low = newLow < 0 ? high + 1 : newLow;
        if (matches == 0)
            break;
        high = low + matches - 1;
    }
    return low;
}

} // namespace browser
