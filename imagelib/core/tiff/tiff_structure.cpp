#include "tiff.h"

#include "tiff_bytes.h"
#include "tiff_layout.h"
#include "tiff_tags.h"
#include "work_counter.h"

#include <algorithm>
#include <vector>

namespace sky {

namespace {

// Values stored elsewhere lie in the file; sub-directories to walk are
// added to `pending`.
Status CheckEntries(const TiffTags& tags, std::vector<uint32_t>& pending) {
    for (const TiffEntry& e : tags.Entries()) {
        if (e.bytes > 4 && !e.inFile)
            return Status::Corrupt;
        const bool link = e.type == kLong || e.type == 13;
        // Exif, GPS and interoperability directories are walked too.
        if ((e.tag == kExifIfd || e.tag == kGpsIfd || e.tag == kInteroperabilityIfd) &&
            e.count == 1)
            pending.push_back(tags.Number(e, 0));
        if (e.tag == kSubIfds && link && e.inFile)
            for (uint32_t k = 0; k < e.count && k < 64; ++k)
                pending.push_back(tags.Number(e, k));
    }
    return Status::Ok;
}

} // namespace

Status CheckTiffComplete(const uint8_t* data, size_t size) {
    // The first picture: its layout sound, its chunks all in the file.
    TiffLayout first;
    const Status s = ReadTiffLayout(data, size, false, first);
    if (s != Status::Ok)
        return s;
    // Every directory in the main chain and the sub-directory chains, once:
    // a chain that reaches a directory walked before ends there, unless it
    // is its own (a loop). Directories of a sound file do not overlap: more
    // entries than the file can hold side by side means overlapping ones.
    const TiffBytes b(data, size, data[0] == 'M');
    MemorySource source(data, size);
    TiffTags tags(source, b.BigEndian());
    WorkCounter entries(size / 12);
    std::vector<uint32_t> seen, chain, pending = {b.U32(4)};
    while (!pending.empty()) {
        uint32_t ifd = pending.back();
        pending.pop_back();
        chain.clear();
        for (; ifd != 0 && std::find(seen.begin(), seen.end(), ifd) == seen.end();
             ifd = tags.Next()) {
            // A directory past the end: the file is cut short.
            if (seen.size() > 4096 || !b.Has(ifd, 2) || !b.Has(ifd + 2, 12ull * b.U16(ifd) + 4))
                return Status::Corrupt;
            seen.push_back(ifd);
            chain.push_back(ifd);
            if (tags.Read(ifd) != Status::Ok || !entries.Spend(tags.Entries().size()) ||
                CheckEntries(tags, pending) != Status::Ok)
                return Status::Corrupt;
        }
        if (std::find(chain.begin(), chain.end(), ifd) != chain.end())
            return Status::Corrupt; // a loop
    }
    return Status::Ok;
}

} // namespace sky
