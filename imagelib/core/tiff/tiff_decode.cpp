#include "tiff_decode.h"

#include "inflate.h"
#include "size_limits.h"
#include "tiff_codecs.h"
#include "tiff_fax.h"
#include "tiff_pixels.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace sky {

namespace {

// A decoded chunk may not need more than a picture of the largest size.
constexpr uint64_t kMaxChunkBytes = kMaxPixels * 4;
// Output bytes one input byte may give at most (Deflate: a 258-byte copy in
// two bits).
constexpr uint64_t kPackBitsGrowth = 64, kLzwGrowth = 4096, kDeflateGrowth = 1032;

uint64_t RowBytes(const TiffDirectory& d) {
    const uint64_t samples = d.planar == 2 ? 1 : d.samples;
    return (uint64_t{d.chunkWidth} * samples * d.bits + 7) / 8;
}

// Bytes of the first `rows` rows of one plane of a chunk.
uint64_t ChunkBytes(const TiffDirectory& d, uint32_t rows) {
    if (d.photometric == 6)
        return YCbCrBytes(d, rows);
    return RowBytes(d) * rows;
}

// Where the chunk lands in the picture.
ChunkArea AreaOf(const TiffDirectory& d, uint32_t across, uint32_t down) {
    ChunkArea a;
    a.x = across * d.chunkWidth;
    a.y = down * d.chunkHeight;
    a.width = std::min(d.chunkWidth, d.width - a.x);
    a.rows = std::min(d.chunkHeight, d.height - a.y);
    return a;
}

// Adds the sample `step` samples back to each one, as integers of the
// sample's width in the file's byte order.
void UndoDifferencing(const TiffDirectory& d, uint8_t* row, size_t rowBytes) {
    const unsigned width = d.bits / 8, step = (d.planar == 2 ? 1 : d.samples) * width;
    for (size_t i = step; i + width <= rowBytes; i += width) {
        unsigned carry = 0;
        for (unsigned k = 0; k < width; ++k) {
            const size_t at = i + (d.bigEndian ? width - 1 - k : k);
            carry += row[at] + row[at - step];
            row[at] = static_cast<uint8_t>(carry);
            carry >>= 8;
        }
    }
}

// The float predictor: bytes differenced along the row, stored most
// significant byte of every sample first. Back to samples in file order.
void UndoFloatPredictor(const TiffDirectory& d, uint8_t* row, size_t rowBytes,
                        std::vector<uint8_t>& scratch) {
    const unsigned width = d.bits / 8, step = d.planar == 2 ? 1 : d.samples;
    for (size_t i = step; i < rowBytes; ++i)
        row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
    const size_t count = rowBytes / width;
    scratch.assign(row, row + rowBytes);
    for (size_t j = 0; j < count; ++j)
        for (unsigned k = 0; k < width; ++k)
            row[j * width + (d.bigEndian ? k : width - 1 - k)] = scratch[k * count + j];
}

// Undoes the predictor in place, row by row.
void UndoPredictor(const TiffDirectory& d, uint8_t* data, size_t rowBytes, uint32_t rows,
                   std::vector<uint8_t>& scratch) {
    for (uint32_t r = 0; r < rows; ++r) {
        uint8_t* row = data + size_t{r} * rowBytes;
        if (d.predictor == 3)
            UndoFloatPredictor(d, row, rowBytes, scratch);
        else
            UndoDifferencing(d, row, rowBytes);
    }
}

// Output bytes one input byte may give at most; a fax row may take one bit.
uint64_t Growth(const TiffDirectory& d) {
    switch (d.compression) {
    case 1:
        return 1;
    case 2:
    case 3:
    case 4:
        return RowBytes(d) * 8;
    case 5:
        return kLzwGrowth;
    case 8:
    case 32946:
        return kDeflateGrowth;
    default:
        return kPackBitsGrowth;
    }
}

Status Decompress(const TiffDirectory& d, const uint8_t* src, size_t count, uint8_t* out,
                  size_t size) {
    switch (d.compression) {
    case 2:
    case 3:
    case 4: {
        static constexpr FaxCoding kCoding[] = {FaxCoding::ModifiedHuffman, FaxCoding::T4,
                                                FaxCoding::T6};
        const FaxLayout fax{d.chunkWidth, kCoding[d.compression - 2], d.faxTwoD, d.fillOrder == 2};
        return FaxDecodeTiff(src, count, fax, out, size);
    }
    case 5:
        return LzwDecodeTiff(src, count, out, size);
    case 8:
    case 32946:
        return ZlibInflate(src, count, out, size);
    default:
        return UnpackBitsTiff(src, count, out, size);
    }
}

// The chunk's samples, decompressed into `buffer` unless stored as they are.
Status Expand(const TiffDirectory& d, const uint8_t* src, size_t count, uint64_t needed,
              std::vector<uint8_t>& buffer, const uint8_t*& result) {
    if (needed > uint64_t{count} * Growth(d))
        return Status::Corrupt;
    if (needed > kMaxChunkBytes)
        return Status::TooLarge;
    if (d.compression == 1) {
        result = src;
        return Status::Ok;
    }
    // Codes of the old LZW variant start least significant bit first.
    if (d.compression == 5 && count >= 2 && src[0] == 0 && (src[1] & 1))
        return Status::Unsupported;
    buffer.resize(needed);
    result = buffer.data();
    return Decompress(d, src, count, buffer.data(), buffer.size());
}

bool IsJpegStart(const uint8_t* p, size_t size) {
    return size >= 2 && p[0] == 0xFF && p[1] == 0xD8;
}

// Tables without their end marker, then the chunk after its start marker.
Status AssembleJpeg(const uint8_t* tables, size_t tablesSize, const uint8_t* chunk, size_t size,
                    std::vector<uint8_t>& stream) {
    if (!IsJpegStart(chunk, size))
        return Status::Corrupt;
    if (!tables) {
        stream.assign(chunk, chunk + size);
        return Status::Ok;
    }
    if (!IsJpegStart(tables, tablesSize) || tablesSize < 4 || tables[tablesSize - 2] != 0xFF ||
        tables[tablesSize - 1] != 0xD9)
        return Status::Corrupt;
    stream.assign(tables, tables + tablesSize - 2);
    stream.insert(stream.end(), chunk + 2, chunk + size);
    return Status::Ok;
}

// Decodes the chunks one at a time, reusing its buffers.
class ChunkReader {
public:
    ChunkReader(const uint8_t* data, const TiffDirectory& d, const BgrView& out,
                const JpegStreamDecoder& jpeg)
        : data_(data), d_(d), out_(out), jpeg_(jpeg), rows_(SamplesOf(d)),
          jpegRows_(JpegSamplesOf(d)), buffers_(d.Planes()), planes_(d.Planes()) {
        if (d.photometric == 6 && !d.Jpeg())
            ycbcr_ = std::make_unique<YCbCrWriter>(d);
    }

    Status Read(uint32_t across, uint32_t down) {
        const ChunkArea area = AreaOf(d_, across, down);
        const uint32_t index = down * d_.ChunksAcross() + across;
        return d_.compression == 7 ? ReadJpeg(index, area) : ReadSamples(index, area);
    }

    // Old-style JPEG: one stream for the whole picture.
    Status ReadWholeJpeg() {
        const ChunkArea area{0, 0, d_.width, d_.height};
        return DecodeJpeg(data_ + d_.interchangeAt, d_.interchangeSize, d_.width, area);
    }

private:
    Status ReadSamples(uint32_t index, const ChunkArea& area) {
        const uint64_t needed = ChunkBytes(d_, area.rows);
        const uint32_t perPlane = d_.ChunksAcross() * d_.ChunksDown();
        for (unsigned p = 0; p < d_.Planes(); ++p) {
            const uint32_t chunk = index + p * perPlane;
            const Status s = Expand(d_, data_ + d_.offsets[chunk], d_.counts[chunk], needed,
                                    buffers_[p], planes_[p]);
            if (s != Status::Ok)
                return s;
            if (d_.predictor != 1)
                UndoPredictor(d_, buffers_[p].data(), RowBytes(d_), area.rows, scratch_);
        }
        if (ycbcr_)
            ycbcr_->Write(planes_[0], d_.chunkWidth, area, out_);
        else
            rows_.Write(planes_.data(), RowBytes(d_), area, out_);
        return Status::Ok;
    }

    Status ReadJpeg(uint32_t index, const ChunkArea& area) {
        const uint8_t* tables = d_.tablesSize ? data_ + d_.tablesAt : nullptr;
        const Status s = AssembleJpeg(tables, d_.tablesSize, data_ + d_.offsets[index],
                                      d_.counts[index], stream_);
        if (s != Status::Ok)
            return s;
        return DecodeJpeg(stream_.data(), stream_.size(), d_.chunkWidth, area);
    }

    // Tiles decode whole and are cropped; strips decode the rows they hold.
    Status DecodeJpeg(const uint8_t* stream, size_t size, uint32_t width, const ChunkArea& area) {
        const uint32_t height = d_.tiled ? d_.chunkHeight : area.rows;
        const unsigned components = d_.ColourSamples();
        const uint64_t rowBytes = uint64_t{width} * components;
        if (rowBytes * height > kMaxChunkBytes)
            return Status::TooLarge;
        buffers_[0].resize(rowBytes * height);
        const Status s = jpeg_(stream, size, width, height, components, buffers_[0].data());
        if (s != Status::Ok)
            return s;
        const uint8_t* plane = buffers_[0].data();
        jpegRows_.Write(&plane, rowBytes, area, out_);
        return Status::Ok;
    }

    const uint8_t* data_;
    const TiffDirectory& d_;
    const BgrView& out_;
    const JpegStreamDecoder& jpeg_;
    RowWriter rows_;
    RowWriter jpegRows_;
    std::unique_ptr<YCbCrWriter> ycbcr_;
    std::vector<std::vector<uint8_t>> buffers_;
    std::vector<const uint8_t*> planes_;
    std::vector<uint8_t> stream_;
    std::vector<uint8_t> scratch_;
};

} // namespace

Status TiffDecoder::Open(const uint8_t* data, size_t size) {
    open_ = false;
    const Status s = ReadTiffDirectory(data, size, dir_);
    if (s != Status::Ok)
        return s;
    data_ = data;
    open_ = true;
    return Status::Ok;
}

Status TiffDecoder::Decode(const BgrView& out, const JpegStreamDecoder& jpeg) const {
    if (!open_ || !out.top || out.width != dir_.width || out.height != dir_.height)
        return Status::InvalidArgument;
    if (NeedsJpeg() && !jpeg)
        return Status::DecoderMissing;
    ChunkReader reader(data_, dir_, out, jpeg);
    if (dir_.compression == 6)
        return reader.ReadWholeJpeg();
    for (uint32_t down = 0; down < dir_.ChunksDown(); ++down)
        for (uint32_t across = 0; across < dir_.ChunksAcross(); ++across)
            if (const Status s = reader.Read(across, down); s != Status::Ok)
                return s;
    return Status::Ok;
}

} // namespace sky
