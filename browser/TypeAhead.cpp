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
    // The entries that begin with the text so far, in list order. The list
    // sorts as the system does, which passes over hyphens, so these need not
    // stand together: each one is checked rather than a range counted.
    std::vector<int> candidates(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        candidates[i] = static_cast<int>(i);
    for (size_t k = 0; k < text.size(); ++k) {
        const unsigned char c = UpperAscii(text[k]);
        std::vector<int> matching;
        for (int i : candidates)
            if (CharAt(entries[static_cast<size_t>(i)], k) == c)
                matching.push_back(i);
        if (matching.empty()) {
            // Where the text would stand: before the first entry it sorts
            // before, else one past the last candidate.
            for (int i : candidates)
                if (c < CharAt(entries[static_cast<size_t>(i)], k))
                    return i;
            return candidates.back() + 1;
        }
        candidates.swap(matching);
    }
    return candidates.front();
}

} // namespace browser
