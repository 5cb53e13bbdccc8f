#include "tiff_fax.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sky {

namespace {

// The codes of runs 0..63, then of 64, 128 .. 1728, then of 1792 .. 2560
// for either colour.
constexpr const char* kWhiteTerminating[64] = {
    "00110101", "000111",   "0111",     "1000",     "1011",     "1100",     "1110",     "1111",
    "10011",    "10100",    "00111",    "01000",    "001000",   "000011",   "110100",   "110101",
    "101010",   "101011",   "0100111",  "0001100",  "0001000",  "0010111",  "0000011",  "0000100",
    "0101000",  "0101011",  "0010011",  "0100100",  "0011000",  "00000010", "00000011", "00011010",
    "00011011", "00010010", "00010011", "00010100", "00010101", "00010110", "00010111", "00101000",
    "00101001", "00101010", "00101011", "00101100", "00101101", "00000100", "00000101", "00001010",
    "00001011", "01010010", "01010011", "01010100", "01010101", "00100100", "00100101", "01011000",
    "01011001", "01011010", "01011011", "01001010", "01001011", "00110010", "00110011", "00110100"};
constexpr const char* kBlackTerminating[64] = {
    "0000110111",   "010",          "11",           "10",           "011",          "0011",
    "0010",         "00011",        "000101",       "000100",       "0000100",      "0000101",
    "0000111",      "00000100",     "00000111",     "000011000",    "0000010111",   "0000011000",
    "0000001000",   "00001100111",  "00001101000",  "00001101100",  "00000110111",  "00000101000",
    "00000010111",  "00000011000",  "000011001010", "000011001011", "000011001100", "000011001101",
    "000001101000", "000001101001", "000001101010", "000001101011", "000011010010", "000011010011",
    "000011010100", "000011010101", "000011010110", "000011010111", "000001101100", "000001101101",
    "000011011010", "000011011011", "000001010100", "000001010101", "000001010110", "000001010111",
    "000001100100", "000001100101", "000001010010", "000001010011", "000000100100", "000000110111",
    "000000111000", "000000100111", "000000101000", "000001011000", "000001011001", "000000101011",
    "000000101100", "000001011010", "000001100110", "000001100111"};
constexpr const char* kWhiteMakeup[27] = {
    "11011",     "10010",     "010111",    "0110111",   "00110110",  "00110111",  "01100100",
    "01100101",  "01101000",  "01100111",  "011001100", "011001101", "011010010", "011010011",
    "011010100", "011010101", "011010110", "011010111", "011011000", "011011001", "011011010",
    "011011011", "010011000", "010011001", "010011010", "011000",    "010011011"};
constexpr const char* kBlackMakeup[27] = {
    "0000001111",    "000011001000",  "000011001001",  "000001011011",  "000000110011",
    "000000110100",  "000000110101",  "0000001101100", "0000001101101", "0000001001010",
    "0000001001011", "0000001001100", "0000001001101", "0000001110010", "0000001110011",
    "0000001110100", "0000001110101", "0000001110110", "0000001110111", "0000001010010",
    "0000001010011", "0000001010100", "0000001010101", "0000001011010", "0000001011011",
    "0000001100100", "0000001100101"};
constexpr const char* kSharedMakeup[13] = {
    "00000001000",  "00000001100",  "00000001101",  "000000010010", "000000010011",
    "000000010100", "000000010101", "000000010110", "000000010111", "000000011100",
    "000000011101", "000000011110", "000000011111"};
constexpr const char* kEol = "000000000001";
constexpr int kInner = -1, kEolCode = -2;
// Two-dimensional modes: vertical ones as kVertical plus a1 - b1.
constexpr int kVertical = 3, kPass = 7, kHorizontal = 8;
constexpr const char* kModes[] = {"0000010", "000010",  "010",  "1",  "011",
                                  "000011",  "0000011", "0001", "001"};

// Codes as a binary tree, each leaf its value.
class FaxCodes {
public:
    FaxCodes() { nodes_.push_back({}); }
    void Add(const char* code, int value) {
        int node = 0;
        for (; *code; ++code) {
            const unsigned bit = *code == '1';
            if (!nodes_[size_t(node)].next[bit]) {
                nodes_[size_t(node)].next[bit] = int(nodes_.size());
                nodes_.push_back({});
            }
            node = nodes_[size_t(node)].next[bit];
        }
        nodes_[size_t(node)].value = value;
    }
    // The child of `node` for `bit`, 0 when there is none.
    int Next(int node, unsigned bit) const { return nodes_[size_t(node)].next[bit]; }
    int Value(int node) const { return nodes_[size_t(node)].value; }

private:
    struct Node {
        int next[2] = {0, 0};
        int value = kInner;
    };
    std::vector<Node> nodes_;
};

// The run lengths of one colour, and EOL.
FaxCodes BuildRunCodes(const char* const* terminating, const char* const* makeup) {
    FaxCodes codes;
    for (int i = 0; i < 64; ++i)
        codes.Add(terminating[i], i);
    for (int i = 0; i < 27; ++i)
        codes.Add(makeup[i], 64 * (i + 1));
    for (int i = 0; i < 13; ++i)
        codes.Add(kSharedMakeup[i], 1792 + 64 * i);
    codes.Add(kEol, kEolCode);
    return codes;
}

const FaxCodes& RunCodes(bool black) {
    static const FaxCodes white = BuildRunCodes(kWhiteTerminating, kWhiteMakeup);
    static const FaxCodes blackCodes = BuildRunCodes(kBlackTerminating, kBlackMakeup);
    return black ? blackCodes : white;
}

const FaxCodes& ModeCodes() {
    static const FaxCodes codes = [] {
        FaxCodes c;
        for (int i = 0; i < 9; ++i)
            c.Add(kModes[i], i);
        c.Add(kEol, kEolCode);
        return c;
    }();
    return codes;
}

// A row as the places where its colour changes, white first.
using Changes = std::vector<uint32_t>;

class FaxRows {
public:
    FaxRows(const uint8_t* in, size_t size, const FaxLayout& layout)
        : in_(in), bits_(uint64_t{size} * 8), layout_(layout) {
        reference_.assign(3, layout.width); // an all-white row before the first
    }

    // One row into `row`, zeroed.
    Status Row(uint8_t* row) {
        bool twoD = layout_.coding == FaxCoding::T6;
        if (layout_.coding == FaxCoding::T4 && !StartT4Row(twoD))
            return Status::Corrupt;
        changes_.clear();
        if (!(twoD ? TwoDimensional() : OneDimensional()))
            return Status::Corrupt;
        if (layout_.coding == FaxCoding::ModifiedHuffman)
            at_ = (at_ + 7) / 8 * 8;
        Paint(row);
        reference_.swap(changes_);
        reference_.insert(reference_.end(), 3, layout_.width);
        return Status::Ok;
    }

private:
    // The EOL before the row, then with 2-D coding the bit telling which.
    bool StartT4Row(bool& twoD) {
        const bool eol = pendingEol_ || SkipEol();
        pendingEol_ = false;
        if (usesEol_ && !eol)
            return false; // the row before ran on
        usesEol_ = usesEol_ || eol;
        unsigned tag = 1;
        if (layout_.twoD && !Bit(tag))
            return false;
        twoD = tag == 0;
        return true;
    }

    bool Bit(unsigned& bit) {
        if (at_ >= bits_)
            return false;
        const uint8_t byte = in_[at_ / 8];
        const unsigned shift = layout_.reversed ? at_ % 8 : 7 - at_ % 8;
        bit = (byte >> shift) & 1;
        ++at_;
        return true;
    }

    // Skips an EOL, fill zeros before it allowed; false when none is there.
    bool SkipEol() {
        const uint64_t start = at_;
        unsigned bit = 0;
        uint64_t zeros = 0;
        while (Bit(bit) && bit == 0)
            ++zeros;
        if (zeros >= 11 && bit == 1)
            return true;
        at_ = start;
        return false;
    }

    bool Code(const FaxCodes& codes, int& value) {
        int node = 0;
        while (codes.Value(node) == kInner) {
            unsigned bit = 0;
            if (!Bit(bit) || !(node = codes.Next(node, bit)))
                return false;
        }
        value = codes.Value(node);
        return true;
    }

    // Makeup codes then a terminating one; kEolCode for an EOL.
    bool Run(bool black, int& total) {
        total = 0;
        for (;;) {
            int run = 0;
            if (!Code(RunCodes(black), run))
                return false;
            if (run == kEolCode) {
                total = kEolCode;
                return true;
            }
            total += run;
            if (run < 64)
                return true;
            if (uint32_t(total) > layout_.width)
                return false;
        }
    }

    // An EOL inside a row: the rest stays white, the EOL is the next row's.
    bool EndEarly() {
        if (layout_.coding != FaxCoding::T4)
            return false;
        pendingEol_ = true;
        return true;
    }

    // Colour changes at `x`, which may not go back nor past the row.
    // Runs stay below the row's width plus a makeup code: no overflow.
    bool ChangeAt(uint32_t x) {
        if (x > layout_.width || (!changes_.empty() && x < changes_.back()))
            return false;
        if (x < layout_.width)
            changes_.push_back(x);
        return true;
    }

    bool OneDimensional() {
        uint32_t x = 0;
        for (bool black = false; x < layout_.width; black = !black) {
            int run = 0;
            if (!Run(black, run))
                return false;
            if (run == kEolCode)
                return EndEarly();
            if (!ChangeAt(x + uint32_t(run)))
                return false;
            x += uint32_t(run);
        }
        return true;
    }

    // Coded against the row before: a0 is where this row has got to (-1 before
    // its first pixel), b1 the reference row's first change past a0 to the
    // colour other than a0's, b2 the change after it.
    bool TwoDimensional() {
        int64_t a0 = -1;
        bool black = false;
        size_t past = 0; // the reference row's first change past a0
        while (a0 < int64_t{layout_.width}) {
            while (reference_[past] <= a0 && past + 3 < reference_.size())
                ++past;
            const size_t b = past + ((past % 2 == 1) != black);
            const int64_t b1 = reference_[b], b2 = reference_[b + 1];
            int mode = 0;
            if (!Code(ModeCodes(), mode))
                return false;
            if (mode == kEolCode)
                return EndEarly();
            if (mode == kPass) {
                a0 = b2;
            } else if (mode == kHorizontal) {
                if (!Horizontal(a0, black))
                    return false;
            } else {
                const int64_t a1 = b1 + mode - kVertical;
                if (a1 < std::max<int64_t>(a0, 0) || !ChangeAt(uint32_t(a1)))
                    return false;
                a0 = a1;
                black = !black;
            }
        }
        return a0 == int64_t{layout_.width};
    }

    // Two runs, of a0's colour then of the other.
    bool Horizontal(int64_t& a0, bool black) {
        uint32_t x = uint32_t(std::max<int64_t>(a0, 0));
        for (int i = 0; i < 2; ++i, black = !black) {
            int run = 0;
            if (!Run(black, run) || run < 0 || !ChangeAt(x + uint32_t(run)))
                return false;
            x += uint32_t(run);
        }
        a0 = x;
        return true;
    }

    // Black between each change to black and the next change.
    void Paint(uint8_t* row) const {
        for (size_t i = 0; i < changes_.size(); i += 2) {
            const uint32_t end = i + 1 < changes_.size() ? changes_[i + 1] : layout_.width;
            for (uint32_t x = changes_[i]; x < end; ++x)
                row[x / 8] = static_cast<uint8_t>(row[x / 8] | 0x80 >> (x % 8));
        }
    }

    const uint8_t* in_;
    uint64_t bits_;
    uint64_t at_ = 0;
    const FaxLayout& layout_;
    Changes reference_, changes_;
    bool usesEol_ = false;
    bool pendingEol_ = false;
};

} // namespace

Status FaxDecodeTiff(const uint8_t* in, size_t size, const FaxLayout& layout, uint8_t* out,
                     size_t outSize) {
    const size_t rowBytes = (size_t{layout.width} + 7) / 8;
    if (rowBytes == 0 || outSize % rowBytes)
        return Status::InvalidArgument;
    std::memset(out, 0, outSize);
    FaxRows rows(in, size, layout);
    for (size_t at = 0; at < outSize; at += rowBytes)
        if (const Status s = rows.Row(out + at); s != Status::Ok)
            return s;
    return Status::Ok;
}

} // namespace sky
