// Fax strips to packed bilevel rows: Modified Huffman, T.4 (one- or
// two-dimensional rows after EOL codes) and T.6.
#pragma once

#include "status.h"

#include <cstddef>
#include <cstdint>

namespace sky {

enum class FaxCoding {
    ModifiedHuffman, // compression 2: rows start on a byte
    T4,              // compression 3: rows may follow an EOL
    T6,              // compression 4: every row two-dimensional
};

struct FaxLayout {
    uint32_t width = 0;
    FaxCoding coding = FaxCoding::ModifiedHuffman;
    bool twoD = false;     // T4: a bit after each EOL tells how the row is coded
    bool reversed = false; // FillOrder 2: the first pixel in the lowest bit
};

// Fills `out` with rows of (width + 7) / 8 bytes, white runs as 0 bits and
// black ones as 1, which Photometric then reads. Corrupt on a code not in the
// tables, a run past the row end, data ending early, or a T4 row without an
// EOL once the rows have them. An EOL inside a T4 row leaves the rest white.
Status FaxDecodeTiff(const uint8_t* in, size_t size, const FaxLayout& layout, uint8_t* out,
                     size_t outSize);

} // namespace sky
