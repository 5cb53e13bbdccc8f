#include "tiff.h"

#include "header_reader.h"
#include "tiff_layout.h"
#include "tiff_tags.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace sky {

namespace {

// The information query's budgeted reads as a TIFF source.
class HeaderSource : public ByteSource {
public:
    explicit HeaderSource(HeaderReader& r) : r_(r) {}
    uint64_t Size() const override { return r_.Size(); }
    size_t ReadAt(uint64_t offset, void* buffer, size_t length) override {
        return r_.Read(offset, buffer, length) ? length : 0;
    }

private:
    HeaderReader& r_;
};

} // namespace

Status ReadTiffInfo(HeaderReader& r, PictureInfo& info) {
    const bool big = r.Head()[0] == 'M';
    unsigned version;
    uint32_t ifd;
    if (!r.U16(2, big, version) || !r.U32(4, big, ifd))
        return Status::Corrupt;
    info.planes = 1;
    if (version == 43) {
        info.description = "BigTIFF";
        return Status::Unsupported;
    }
    HeaderSource source(r);
    TiffTags tags(source, big);
    TiffLayout layout;
    if (tags.Read(ifd) != Status::Ok || DescribeTiff(tags, layout) != Status::Ok || tags.Failed())
        return Status::Corrupt;
    info.width = layout.width;
    info.height = layout.height;
    // One depth for every sample, or the sum of differing ones.
    info.bits = layout.sameBits ? layout.bits : layout.bitsSum;
    info.planes = layout.sameBits ? layout.samples : 1;
    info.colours = layout.colourMapEntries;
    const unsigned sum = layout.bitsSum, samples = layout.samples;
    const unsigned photometric = layout.photometricGiven ? layout.photometric : 0xFFFF;
    const unsigned compression = layout.compression;
    const bool tiled = layout.tiled;

    std::string_view kind;
    switch (photometric) {
    case 0:
    case 1:
        kind = sum == 1 ? "bilevel" : "grey";
        break;
    case 2:
        kind = samples >= 4 ? "RGBA" : "RGB";
        break;
    case 3:
        kind = "palette";
        break;
    case 5:
        kind = "CMYK";
        break;
    case 6:
        kind = "YCbCr";
        break;
    case 8:
        kind = "Lab";
        break;
    default:
        break;
    }
    std::string_view extra;
    switch (compression) {
    case 2:
        extra = "CCITT RLE";
        break;
    case 3:
        extra = "G3 fax";
        break;
    case 4:
        extra = "G4 fax";
        break;
    case 5:
        extra = "LZW";
        break;
    case 6:
        extra = "old JPEG";
        break;
    case 7:
        extra = "JPEG";
        break;
    case 8:
    case 32946:
        extra = "Deflate";
        break;
    case 32773:
        extra = "PackBits";
        break;
    case 32809:
        extra = "ThunderScan";
        break;
    default:
        extra = tiled ? "tiled" : "";
        break;
    }
    info.description = Describe("TIFF", sum, kind, extra);
    info.rareVariant =
        !(compression <= 5 || compression == 8 || compression == 32773 || compression == 32946);
    return SizeStatus(info);
}

} // namespace sky
