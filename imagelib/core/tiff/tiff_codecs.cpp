#include "tiff_codecs.h"

#include "bit_reader.h"

#include <algorithm>
#include <cstring>

namespace sky {

Status UnpackBitsTiff(const uint8_t* in, size_t size, uint8_t* out, size_t outSize) {
    size_t pos = 0, done = 0;
    while (done < outSize) {
        if (pos >= size)
            return Status::Corrupt;
        const int n = static_cast<int8_t>(in[pos++]);
        if (n == -128)
            continue; // no-op
        if (n < 0) {
            if (pos >= size)
                return Status::Corrupt;
            const size_t run = std::min<size_t>(size_t(1 - n), outSize - done);
            std::memset(out + done, in[pos++], run);
            done += run;
            continue;
        }
        const size_t literal = size_t(n) + 1;
        if (literal > size - pos)
            return Status::Corrupt;
        const size_t copied = std::min(literal, outSize - done);
        std::memcpy(out + done, in + pos, copied);
        pos += literal;
        done += copied;
    }
    return Status::Ok;
}

namespace {

constexpr unsigned kClear = 256, kEnd = 257, kFirstFree = 258, kTableSize = 4096;

// Most significant bit first, as TIFF's LZW writes its codes.
using MsbCodes = BitReader<false>;

// Every string of the table already sits in the output: an entry is where it
// was first written and its length.
struct LzwEntry {
    size_t at = 0;
    uint32_t length = 0;
};

} // namespace

Status LzwDecodeTiff(const uint8_t* in, size_t size, uint8_t* out, size_t outSize) {
    LzwEntry table[kTableSize];
    MsbCodes codes(in, size);
    unsigned bits = 9, next = kFirstFree, code = 0;
    bool havePrevious = false;
    LzwEntry previous;
    size_t done = 0;
    while (done < outSize) {
        if (!codes.Take(bits, code) || code == kEnd)
            return Status::Corrupt;
        if (code == kClear) {
            bits = 9;
            next = kFirstFree;
            havePrevious = false;
            continue;
        }
        if (code >= kFirstFree && (code > next || (code == next && !havePrevious)))
            return Status::Corrupt;
        const size_t start = done;
        uint32_t length = 1;
        if (code < kClear) {
            out[done++] = static_cast<uint8_t>(code);
        } else {
            // code == next: the previous string and its own first byte.
            const LzwEntry e =
                code == next ? LzwEntry{previous.at, previous.length + 1} : table[code];
            length = e.length;
            const size_t n = std::min<size_t>(length, outSize - done);
            for (size_t i = 0; i < n; ++i)
                out[done + i] = out[e.at + i]; // may overlap forwards
            done += n;
        }
        if (havePrevious && next < kTableSize) {
            table[next++] = {previous.at, previous.length + 1};
            if (next + 1 == (1u << bits) && bits < 12)
                ++bits;
        }
        previous = {start, length};
        havePrevious = true;
    }
    return Status::Ok;
}

} // namespace sky
