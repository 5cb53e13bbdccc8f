#include "tiff_decode.h"

#include "inflate.h"
#include "jpeg.h"
#include "tiff_codecs.h"
#include "tiff_fax.h"
#include "tiff_pixels.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace sky {

namespace {

// Output bytes one input byte may give at most (Deflate: a 258-byte copy in
// two bits).
constexpr uint64_t kPackBitsGrowth = 64, kLzwGrowth = 4096, kDeflateGrowth = 1032;

uint8_t ReverseBits(uint8_t b) {
    b = static_cast<uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

// Adds the sample `step` samples back to each one, as integers of the
// sample's width in the file's byte order.
void UndoDifferencing(const TiffLayout& l, uint8_t* row, size_t rowBytes) {
    const unsigned width = l.bits / 8, step = l.PredictorStep() * width;
    for (size_t i = step; i + width <= rowBytes; i += width) {
        unsigned carry = 0;
        for (unsigned k = 0; k < width; ++k) {
            const size_t at = i + (l.bigEndian ? width - 1 - k : k);
            carry += row[at] + row[at - step];
            row[at] = static_cast<uint8_t>(carry);
            carry >>= 8;
        }
    }
}

// The float predictor: bytes differenced along the row, stored most
// significant byte of every sample first. Back to samples in file order.
void UndoFloatPredictor(const TiffLayout& l, uint8_t* row, size_t rowBytes,
                        std::vector<uint8_t>& scratch) {
    const unsigned width = l.bits / 8, step = l.PredictorStep();
    for (size_t i = step; i < rowBytes; ++i)
        row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
    const size_t count = rowBytes / width;
    scratch.assign(row, row + rowBytes);
    for (size_t j = 0; j < count; ++j)
        for (unsigned k = 0; k < width; ++k)
            row[j * width + (l.bigEndian ? k : width - 1 - k)] = scratch[k * count + j];
}

// Undoes the predictor in place over a decoded plane of `size` bytes, in the
// rows the layout gives it; nothing is touched past `size`.
void UndoPredictor(const TiffLayout& l, uint8_t* data, size_t size, std::vector<uint8_t>& scratch) {
    const uint64_t rowBytes = l.predictor == 3 ? l.RowBytes() : l.PredictorRowBytes();
    if (rowBytes == 0)
        return;
    for (size_t at = 0; size - at >= rowBytes; at += rowBytes) {
        if (l.predictor == 3)
            UndoFloatPredictor(l, data + at, rowBytes, scratch);
        else
            UndoDifferencing(l, data + at, rowBytes);
    }
}

// Output bytes one input byte may give at most; a fax row may take one bit.
uint64_t Growth(const TiffLayout& l) {
    switch (l.compression) {
    case 1:
        return 1;
    case 2:
    case 3:
    case 4:
        return l.RowBytes() * 8;
    case 5:
        return kLzwGrowth;
    case 8:
    case 32946:
        return kDeflateGrowth;
    default:
        return kPackBitsGrowth;
    }
}

Status Decompress(const TiffLayout& l, const uint8_t* src, size_t count, uint8_t* out,
                  size_t size) {
    switch (l.compression) {
    case 2:
    case 3:
    case 4: {
        static constexpr FaxCoding kCoding[] = {FaxCoding::ModifiedHuffman, FaxCoding::T4,
                                                FaxCoding::T6};
        const FaxLayout fax{l.chunkWidth, kCoding[l.compression - 2], l.faxTwoD, l.fillOrder == 2};
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

uint64_t RoundUp(uint64_t v, uint64_t unit) {
    return (v + unit - 1) / unit * unit;
}

// Decodes the chunks one at a time, reusing its buffers.
class ChunkReader {
public:
    ChunkReader(const uint8_t* data, const TiffLayout& l, const BgrView& out,
                const JpegStreamDecoder& jpeg, WorkCounter& work)
        : data_(data), l_(l), out_(out), jpeg_(jpeg), work_(work), rows_(SamplesOf(l)),
          jpegRows_(JpegSamplesOf(l)), buffers_(l.Planes()), planes_(l.Planes()) {
        if (l.Subsampled())
            ycbcr_ = std::make_unique<YCbCrWriter>(l);
    }

    Status Read(uint32_t across, uint32_t down) {
        const ChunkArea area = l_.AreaOf(across, down);
        const uint32_t index = down * l_.ChunksAcross() + across;
        return l_.compression == 7 ? ReadJpeg(index, area) : ReadSamples(index, area);
    }

    // Old-style JPEG: one stream for the whole picture.
    Status ReadWholeJpeg() {
        const ChunkArea area{0, 0, l_.width, l_.height};
        return DecodeJpeg(data_ + l_.interchangeAt, l_.interchangeSize, l_.width, l_.height,
                          l_.height, area);
    }

private:
    // The chunk's samples in `buffer`, or in place when stored as they are.
    Status Expand(uint32_t chunk, uint64_t needed, std::vector<uint8_t>& buffer,
                  const uint8_t*& result) {
        const uint8_t* src = data_ + l_.offsets[chunk];
        size_t count = l_.counts[chunk];
        if (needed > uint64_t{count} * Growth(l_))
            return Status::Corrupt;
        if (!work_.Spend(needed + l_.ChunkInput(chunk)))
            return Status::TooLarge;
        // Stored samples are read no further than they are needed.
        if (l_.compression == 1)
            count = static_cast<size_t>(needed);
        // Reversed bit order applies to the stored bytes (fax reads it itself).
        const bool reverse = l_.fillOrder == 2 && !l_.Fax();
        if (reverse) {
            reversed_.resize(count);
            std::transform(src, src + count, reversed_.begin(), ReverseBits);
            src = reversed_.data();
        }
        if (l_.compression == 1 && !reverse) {
            result = src; // stored as they are
            return Status::Ok;
        }
        // Codes of the old LZW variant start least significant bit first.
        if (l_.compression == 5 && count >= 2 && src[0] == 0 && (src[1] & 1))
            return Status::Unsupported;
        buffer.resize(needed);
        result = buffer.data();
        if (l_.compression == 1) {
            std::copy(src, src + needed, buffer.begin());
            return Status::Ok;
        }
        return Decompress(l_, src, count, buffer.data(), buffer.size());
    }

    Status ReadSamples(uint32_t index, const ChunkArea& area) {
        const uint64_t needed = l_.PlaneBytes(area.rows);
        const uint32_t perPlane = l_.ChunksAcross() * l_.ChunksDown();
        for (unsigned p = 0; p < l_.Planes(); ++p) {
            const uint32_t chunk = index + p * perPlane;
            const Status s = Expand(chunk, needed, buffers_[p], planes_[p]);
            if (s != Status::Ok)
                return s;
            if (l_.predictor != 1) // never with stored samples
                UndoPredictor(l_, buffers_[p].data(), buffers_[p].size(), scratch_);
        }
        if (ycbcr_)
            ycbcr_->Write(planes_[0], l_.chunkWidth, area, out_);
        else
            rows_.Write(planes_.data(), l_.RowBytes(), area, out_);
        return Status::Ok;
    }

    Status ReadJpeg(uint32_t index, const ChunkArea& area) {
        if (!work_.Spend(l_.ChunkInput(index)))
            return Status::TooLarge;
        const uint8_t* tables = l_.tablesSize ? data_ + l_.tablesAt : nullptr;
        const Status s = AssembleJpeg(tables, l_.tablesSize, data_ + l_.offsets[index],
                                      l_.counts[index], stream_);
        if (s != Status::Ok)
            return s;
        // Tiles decode whole and are cropped; strips decode the rows they hold.
        const uint32_t height = l_.tiled ? l_.chunkHeight : area.rows;
        return DecodeJpeg(stream_.data(), stream_.size(), l_.chunkWidth, height, l_.chunkHeight,
                          area);
    }

    // Decodes `width` x `height` pixels of which `area` is written. The stream
    // must be whole and its frame `width` wide and `height` to `fullHeight`
    // high, give or take the padding to whole MCUs.
    Status DecodeJpeg(const uint8_t* stream, size_t size, uint32_t width, uint32_t height,
                      uint32_t fullHeight, const ChunkArea& area) {
        JpegFrame frame;
        if (CheckJpegComplete(stream, size) != Status::Ok || !ReadJpegFrame(stream, size, frame))
            return Status::Corrupt;
        if (frame.width < width || frame.height < height ||
            frame.width > RoundUp(width, frame.mcuWidth) ||
            frame.height > RoundUp(fullHeight, frame.mcuHeight))
            return Status::Corrupt;
        const unsigned components = JpegComponents(l_);
        if (!work_.Spend(uint64_t{frame.width} * frame.height * frame.components))
            return Status::TooLarge;
        if (NameJpegColours(stream, size, l_.photometric == 2 && !l_.subsamplingGiven, named_)) {
            stream = named_.data();
            size = named_.size();
        }
        const uint64_t rowBytes = uint64_t{width} * components;
        buffers_[0].resize(rowBytes * height);
        const Status s = jpeg_(stream, size, width, height, components, buffers_[0].data());
        if (s != Status::Ok)
            return s;
        const uint8_t* plane = buffers_[0].data();
        jpegRows_.Write(&plane, rowBytes, area, out_);
        return Status::Ok;
    }

    const uint8_t* data_;
    const TiffLayout& l_;
    const BgrView& out_;
    const JpegStreamDecoder& jpeg_;
    WorkCounter& work_;
    RowWriter rows_;
    RowWriter jpegRows_;
    std::unique_ptr<YCbCrWriter> ycbcr_;
    std::vector<std::vector<uint8_t>> buffers_;
    std::vector<const uint8_t*> planes_;
    std::vector<uint8_t> stream_;
    std::vector<uint8_t> named_;
    std::vector<uint8_t> reversed_;
    std::vector<uint8_t> scratch_;
};

} // namespace

Status TiffDecoder::Open(const uint8_t* data, size_t size) {
    open_ = false;
    const Status s = ReadTiffLayout(data, size, true, layout_);
    if (s != Status::Ok)
        return s;
    data_ = data;
    size_ = size;
    work_ = WorkCounter(layout_.WorkLimit(size));
    open_ = true;
    return Status::Ok;
}

Status TiffDecoder::Decode(const BgrView& out, const JpegStreamDecoder& jpeg) {
    if (!open_ || !out.top || out.width != layout_.width || out.height != layout_.height)
        return Status::InvalidArgument;
    if (NeedsJpeg() && !jpeg)
        return Status::DecoderMissing;
    work_ = WorkCounter(layout_.WorkLimit(size_));
    ChunkReader reader(data_, layout_, out, jpeg, work_);
    if (layout_.compression == 6)
        return reader.ReadWholeJpeg();
    for (uint32_t down = 0; down < layout_.ChunksDown(); ++down)
        for (uint32_t across = 0; across < layout_.ChunksAcross(); ++across)
            if (const Status s = reader.Read(across, down); s != Status::Ok)
                return s;
    return Status::Ok;
}

} // namespace sky
