#include "inflate.h"

#include "bit_reader.h"

#include <algorithm>
#include <iterator>

namespace sky {

namespace {

constexpr unsigned kMaxBits = 15, kLiterals = 288, kDistances = 32, kLengthCodes = 19;

using LsbBits = BitReader<true>;

// A canonical code: how many codes of each length, the symbols in code order.
class Huffman {
public:
    // False when the lengths ask for more codes than there are.
    bool Build(const uint8_t* lengths, unsigned n) {
        std::fill(std::begin(counts_), std::end(counts_), uint16_t{0});
        for (unsigned s = 0; s < n; ++s)
            ++counts_[lengths[s]];
        counts_[0] = 0;
        int left = 1;
        for (unsigned len = 1; len <= kMaxBits; ++len) {
            left = left * 2 - counts_[len];
            if (left < 0)
                return false;
        }
        uint16_t start[kMaxBits + 2] = {};
        for (unsigned len = 1; len <= kMaxBits; ++len)
            start[len + 1] = static_cast<uint16_t>(start[len] + counts_[len]);
        for (unsigned s = 0; s < n; ++s)
            if (lengths[s])
                symbols_[start[lengths[s]]++] = static_cast<uint16_t>(s);
        return true;
    }
    // The next symbol, or -1 for a code not in the set or the end of data.
    int Decode(LsbBits& bits) const {
        int code = 0, first = 0, index = 0;
        for (unsigned len = 1; len <= kMaxBits; ++len) {
            uint32_t bit = 0;
            if (!bits.Take(1, bit))
                return -1;
            code |= static_cast<int>(bit);
            const int count = counts_[len];
            if (code - first < count)
                return symbols_[index + code - first];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    uint16_t counts_[kMaxBits + 1] = {};
    uint16_t symbols_[kLiterals] = {};
};

// Base and extra bits of the length codes 257..285 and the distance codes.
constexpr uint16_t kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                      6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which the code length code lengths come.
constexpr uint8_t kLengthOrder[kLengthCodes] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                11, 4,  12, 3, 13, 2, 14, 1, 15};

class Inflater {
public:
    Inflater(const uint8_t* in, size_t size, uint8_t* out, size_t outSize)
        : bits_(in, size), out_(out), size_(outSize) {}

    Status Run() {
        uint32_t last = 0, type = 0;
        while (done_ < size_) {
            if (!bits_.Take(1, last) || !bits_.Take(2, type))
                return Status::Corrupt;
            const bool ok = type == 0   ? Stored()
                            : type == 1 ? FixedBlock()
                            : type == 2 ? DynamicBlock()
                                        : false;
            if (!ok || (last && done_ < size_))
                return Status::Corrupt;
        }
        return Status::Ok;
    }

private:
    bool Stored() {
        bits_.AlignToByte();
        uint8_t header[4];
        if (!bits_.Bytes(header, 4))
            return false;
        const unsigned length = header[0] | header[1] << 8;
        const unsigned check = header[2] | header[3] << 8;
        if (check != (~length & 0xFFFF))
            return false;
        const size_t n = std::min<size_t>(length, size_ - done_);
        if (!bits_.Bytes(out_ + done_, n))
            return false;
        done_ += n;
        return true;
    }

    bool FixedBlock() {
        uint8_t lengths[kLiterals + kDistances];
        std::fill(lengths, lengths + 144, uint8_t{8});
        std::fill(lengths + 144, lengths + 256, uint8_t{9});
        std::fill(lengths + 256, lengths + 280, uint8_t{7});
        std::fill(lengths + 280, lengths + kLiterals, uint8_t{8});
        std::fill(lengths + kLiterals, lengths + kLiterals + kDistances, uint8_t{5});
        return literals_.Build(lengths, kLiterals) &&
               distances_.Build(lengths + kLiterals, kDistances) && Codes();
    }

    bool DynamicBlock() {
        uint32_t literals = 0, distances = 0, codes = 0;
        if (!bits_.Take(5, literals) || !bits_.Take(5, distances) || !bits_.Take(4, codes))
            return false;
        literals += 257;
        distances += 1;
        codes += 4;
        if (literals > 286 || distances > 30)
            return false;
        uint8_t order[kLengthCodes] = {};
        for (uint32_t i = 0; i < codes; ++i) {
            uint32_t v = 0;
            if (!bits_.Take(3, v))
                return false;
            order[kLengthOrder[i]] = static_cast<uint8_t>(v);
        }
        Huffman lengthCode;
        uint8_t lengths[kLiterals + kDistances] = {};
        if (!lengthCode.Build(order, kLengthCodes) ||
            !ReadLengths(lengthCode, lengths, literals + distances) || lengths[256] == 0)
            return false;
        return literals_.Build(lengths, literals) &&
               distances_.Build(lengths + literals, distances) && Codes();
    }

    // Code lengths with their repeat codes 16, 17 and 18.
    bool ReadLengths(const Huffman& code, uint8_t* lengths, unsigned n) {
        unsigned i = 0;
        while (i < n) {
            const int symbol = code.Decode(bits_);
            if (symbol < 0)
                return false;
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            if (symbol == 16 && i == 0)
                return false;
            const uint8_t value = symbol == 16 ? lengths[i - 1] : 0;
            static constexpr unsigned kExtra[] = {2, 3, 7}, kBase[] = {3, 3, 11};
            uint32_t repeat = 0;
            if (!bits_.Take(kExtra[symbol - 16], repeat))
                return false;
            repeat += kBase[symbol - 16];
            if (repeat > n - i)
                return false;
            std::fill(lengths + i, lengths + i + repeat, value);
            i += repeat;
        }
        return true;
    }

    // Literals and copies up to the end of the block or a full output.
    bool Codes() {
        while (done_ < size_) {
            const int symbol = literals_.Decode(bits_);
            if (symbol < 0 || symbol > 285)
                return false;
            if (symbol < 256) {
                out_[done_++] = static_cast<uint8_t>(symbol);
                continue;
            }
            if (symbol == 256)
                return true;
            if (!Copy(static_cast<unsigned>(symbol - 257)))
                return false;
        }
        return true;
    }

    bool Copy(unsigned lengthCode) {
        uint32_t extra = 0;
        if (!bits_.Take(kLengthExtra[lengthCode], extra))
            return false;
        const size_t length = kLengthBase[lengthCode] + extra;
        const int code = distances_.Decode(bits_);
        if (code < 0 || code >= 30 || !bits_.Take(kDistanceExtra[code], extra))
            return false;
        const size_t distance = kDistanceBase[code] + extra;
        if (distance > done_)
            return false;
        const size_t n = std::min(length, size_ - done_);
        for (size_t i = 0; i < n; ++i, ++done_)
            out_[done_] = out_[done_ - distance]; // may overlap forwards
        return true;
    }

    LsbBits bits_;
    uint8_t* out_;
    size_t size_;
    size_t done_ = 0;
    Huffman literals_, distances_;
};

bool ZlibHeader(const uint8_t* in, size_t size) {
    if (size < 2)
        return false;
    const unsigned method = in[0] & 0x0F, window = in[0] >> 4, preset = in[1] & 0x20;
    return method == 8 && window <= 7 && !preset && (in[0] << 8 | in[1]) % 31 == 0;
}

} // namespace

Status ZlibInflate(const uint8_t* in, size_t size, uint8_t* out, size_t outSize) {
    if (!ZlibHeader(in, size))
        return Status::Corrupt;
    return Inflater(in + 2, size - 2, out, outSize).Run();
}

} // namespace sky
