// GIF files built by the tests, for the layouts no corpus file has: no
// colour table at all, frames larger than the screen, codes that walk far.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace skytest {

struct GifPlan {
    uint16_t screenWidth = 0;
    uint16_t screenHeight = 0;
    uint16_t width = 0; // the first frame, at (0,0)
    uint16_t height = 0;
    std::vector<uint8_t> globalTable; // R G B entries; none when empty
    std::vector<uint8_t> localTable;
    uint8_t sizeBits = 0; // the screen's table size field without a global table
    int background = 0;
    int transparent = -1;
    uint8_t minimumCodeSize = 2;
    std::vector<uint16_t> codes; // LZW codes, packed at the width a decoder reads them
};

// Clear codes often enough that every index is a code of its own.
std::vector<uint16_t> CodesOf(const std::vector<uint8_t>& indices, uint8_t minimumCodeSize);

// One index repeated: strings grow until the table is full, then the longest
// one `repeats` times, about 4000 pixels a code.
std::vector<uint16_t> LongRunCodes(uint8_t minimumCodeSize, size_t repeats);

std::vector<uint8_t> MakeGif(const GifPlan& plan);

} // namespace skytest
