// The corpus manifest (manifest.tsv), read at test time.
#pragma once

#include <string>
#include <vector>

namespace skytest {

struct CorpusEntry {
    std::string path; // relative to the corpus folder, '/' separated
    std::string format;
    std::string suite;
    std::string validity;
    int width = -1; // -1 when the manifest leaves it empty
    int height = -1;
    int bpp = -1;
    std::string rgbaMd5;
    std::string imSize;
    std::string notes;

    bool Valid() const { return validity == "valid"; }
    bool Invalid() const { return validity == "invalid"; }
};

// Reads CORPUS/manifest.tsv; empty when it cannot be read.
std::vector<CorpusEntry> ReadManifest(const std::string& corpusDir);

// The corpus folder from the build (GLIMMORA_CORPUS_DIR).
std::string CorpusDir();

// MD5 of a byte range, lower-case hex.
std::string Md5Hex(const void* data, size_t size);

} // namespace skytest
