#include "info.h"

#include "bmp.h"
#include "gif.h"
#include "header_reader.h"
#include "jpeg.h"
#include "pcx.h"
#include "png.h"
#include "tiff.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace sky {

size_t MemorySource::ReadAt(uint64_t offset, void* buffer, size_t length) {
    if (offset >= size_)
        return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(length, size_ - offset));
    std::memcpy(buffer, data_ + offset, n);
    return n;
}

Status ReadPictureInfo(ByteSource& source, PictureInfo& info) {
    info = PictureInfo{};
    HeaderReader reader(source);
    info.format = SniffFormat(reader.Head(), reader.HeadLength());
    switch (info.format) {
    case Format::Bmp:
        return ReadBmpInfo(reader, info);
    case Format::Gif:
        return ReadGifInfo(reader, info);
    case Format::Jpeg:
        return ReadJpegInfo(reader, info);
    case Format::Png:
        return ReadPngInfo(reader, info);
    case Format::Tiff:
        return ReadTiffInfo(reader, info);
    case Format::Pcx:
        return ReadPcxInfo(reader, info);
    case Format::Unknown:
        break;
    }
    return reader.HeadLength() == 0 ? Status::Corrupt : Status::UnknownFormat;
}

} // namespace sky
