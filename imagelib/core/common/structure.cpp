#include "structure.h"

#include "bmp.h"
#include "gif.h"
#include "jpeg.h"
#include "png.h"
#include "tiff.h"

namespace sky {

Status CheckComplete(Format format, const uint8_t* data, size_t size) {
    switch (format) {
    case Format::Bmp:
        return CheckBmpComplete(data, size);
    case Format::Gif:
        return CheckGifComplete(data, size);
    case Format::Jpeg:
        return CheckJpegComplete(data, size);
    case Format::Png:
        return CheckPngComplete(data, size);
    case Format::Tiff:
        return CheckTiffComplete(data, size);
    case Format::Pcx:
        return Status::Ok; // the PCX reader checks as it decodes
    case Format::Unknown:
        break;
    }
    return Status::UnknownFormat;
}

} // namespace sky
