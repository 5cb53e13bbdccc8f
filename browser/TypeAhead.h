// The type-ahead selection of the name box: which list entry a typed text selects.
#pragma once

#include <string>
#include <vector>

namespace browser {

// Narrows the candidates one character position at a time; gives the first
// entry that begins with the text, else where the text would stand at the
// first position where it stops matching (possibly one past the last
// candidate), and -1 for an empty list.
int TypeAheadIndex(const std::vector<std::string>& entries, const std::string& text);

} // namespace browser
