#include "manifest.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

namespace skytest {

namespace {

int ToInt(const std::string& s) {
    if (s.empty())
        return -1;
    try {
        return std::stoi(s);
    } catch (...) {
        return -1;
    }
}

} // namespace

std::vector<CorpusEntry> ReadManifest(const std::string& corpusDir) {
    std::vector<CorpusEntry> entries;
    std::ifstream in(corpusDir + "/manifest.tsv", std::ios::binary);
    std::string line;
    if (!std::getline(in, line))
        return entries;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, '\t'))
            f.push_back(field);
        f.resize(10);
        CorpusEntry e;
        e.path = f[0];
        e.format = f[1];
        e.suite = f[2];
        e.validity = f[3];
        e.width = ToInt(f[4]);
        e.height = ToInt(f[5]);
        e.bpp = ToInt(f[6]);
        e.rgbaMd5 = f[7];
        e.imSize = f[8];
        e.notes = f[9];
        if (!e.path.empty())
            entries.push_back(e);
    }
    return entries;
}

std::string CorpusDir() {
#ifdef GLIMMORA_CORPUS_DIR
    std::string dir = GLIMMORA_CORPUS_DIR;
#ifdef _WIN32
    // A Unix path is reachable under Wine as drive Z:.
    if (!dir.empty() && dir[0] == '/')
        dir = "Z:" + dir;
#endif
    return dir;
#else
    return "corpus";
#endif
}

// RFC 1321 MD5, small and slow enough for test pictures.
std::string Md5Hex(const void* data, size_t size) {
    static const uint32_t k[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
        0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
        0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
        0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
        0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
        0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
        0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
        0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
        0xeb86d391};
    static const int r[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                              5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                              4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                              6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const auto* bytes = static_cast<const uint8_t*>(data);
    const uint64_t bitLength = uint64_t{size} * 8;
    size_t total = (size + 8) / 64 * 64 + 64;
    uint8_t block[64];
    for (size_t offset = 0; offset < total; offset += 64) {
        for (size_t i = 0; i < 64; ++i) {
            const size_t pos = offset + i;
            if (pos < size)
                block[i] = bytes[pos];
            else if (pos == size)
                block[i] = 0x80;
            else if (pos >= total - 8)
                block[i] = static_cast<uint8_t>(bitLength >> (8 * (pos - (total - 8))));
            else
                block[i] = 0;
        }
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = uint32_t{block[i * 4]} | uint32_t{block[i * 4 + 1]} << 8 |
                   uint32_t{block[i * 4 + 2]} << 16 | uint32_t{block[i * 4 + 3]} << 24;
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; ++i) {
            uint32_t f;
            int g;
            if (i < 16) {
                f = (b & c) | (~b & d);
                g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
            }
            const uint32_t t = d;
            d = c;
            c = b;
            const uint32_t x = a + f + k[i] + w[g];
            b = b + (x << r[i] | x >> (32 - r[i]));
            a = t;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
    }
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (uint32_t v : h)
        for (int i = 0; i < 4; ++i) {
            const uint8_t byte = static_cast<uint8_t>(v >> (8 * i));
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    return out;
}

} // namespace skytest
