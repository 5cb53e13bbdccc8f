// TPMultiImage: loading by extension key and the image information query.
#include "image/LibraryBinding.h"
#include "image/TMultiP.h"
#include "shell/LetterCase.h"
#include "shell/Extensions.h"
#include "shell/FileHandle.h"
#include "shell/Paths.h"
#include "toolkit/Dialogs.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace image {

namespace {

// The size in bytes of a file opened for reading only, at most INT_MAX; -1 when it cannot be
// opened.
int FileSizeOf(const std::string& path) {
    shell::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size))
        return -1;
    return static_cast<int>(std::min<LONGLONG>(size.QuadPart, INT_MAX));
}

// Header, colour table and pixel data of a bitmap as a device-independent bitmap.
int DibSizeOf(const toolkit::TBitmap& bitmap) {
    BITMAP info{};
    if (!bitmap.Handle() || !GetObjectA(bitmap.Handle(), sizeof info, &info))
        return static_cast<int>(sizeof(BITMAPINFOHEADER));
    int bits = info.bmBitsPixel * info.bmPlanes;
    int colours = bits <= 8 ? 1 << bits : 0;
    long long stride = ((static_cast<long long>(info.bmWidth) * bits + 31) / 32) * 4;
    long long size =
        static_cast<long long>(sizeof(BITMAPINFOHEADER)) + colours * 4LL + stride * info.bmHeight;
    return static_cast<int>(size);
}

struct ReaderEntry {
    const char* key;
    TPMultiImage::FileReader reader; // nullptr: the resource reader
    const char* failure;
};

// Tested in this order.
const ReaderEntry kReaders[] = {
    {".BMP", ReadBmpFile, "Reading bmp file failed"},
    {".THB", ReadBmpFile, "Reading bmp file failed"},
    {".THJ", ReadJpegFile, "Reading jpg file failed"},
    {".RES", nullptr, "Reading resource file failed"},
    {".PNG", ReadPngFile, "Reading png file failed"},
    {".GIF", ReadGifFile, "Reading gif file failed"},
    {".TIF", ReadTiffFile, "Reading tif file failed"},
    {".PCX", ReadPcxFile, "Reading pcx file failed"},
    {".JPG", ReadJpegFile, "Reading jpg file failed"},
};

} // namespace

int TPMultiImage::ResolutionCode() {
    switch (imageReadRes_) {
    case TLoadResolution::lColorVga:
        return 0;
    case TLoadResolution::lMonoChrome:
        return 1;
    case TLoadResolution::lColor16:
        return 4;
    case TLoadResolution::lColor256:
        return 8;
    case TLoadResolution::lColorTrue:
        return 24;
    case TLoadResolution::lAutoMatic:
        break;
    }
    toolkit::WindowDC dc(handle_);
    return DeviceColorBits(dc.Get());
}

void TPMultiImage::ShowLoadFailure(const std::string& message) {
    toolkit::MessageDlg(message, toolkit::TMsgDlgType::mtInformation, {toolkit::TMsgDlgBtn::mbOK});
}

void TPMultiImage::StopMessageDisplay() {
    if (message_.ScrollActive || message_.CreditActive)
        SetColor(message_.SavedColor);
    message_.ScrollActive = false;
    message_.CreditActive = false;
    picture_.SetGraphic(nullptr);
}

std::string TPMultiImage::LoadImage() {
    const std::string key = shell::ExtensionKey(imageName_);
    if (key != ".RES" && !shell::IsExistingFile(imageName_)) {
        picture_.SetGraphic(nullptr);
        loadStatus_ = "file not found";
        return loadStatus_;
    }
    if (key == ".WMF" || key == ".ICO") {
        // Not guarded: a loader error goes to whoever assigned ImageName.
        StopMessageDisplay();
        picture_.LoadFromFile(imageName_);
        loadStatus_ = "Non TIF, JPeg, BMP, GIF, PNG or PCX Image";
        QueryImageInfo(imageName_);
        return loadStatus_;
    }
    bool startFailed = false;
    if (key == ".SCM" || key == ".CMS") {
        try {
            StopMessageDisplay();
            if (key == ".SCM")
                StartScrollMessage(imageName_);
            else
                StartCreditMessage(imageName_);
        } catch (...) {
            picture_.SetGraphic(nullptr);
            startFailed = true;
        }
        if (!startFailed)
            QueryImageInfo(imageName_);
    }
    if (!startFailed)
        for (const ReaderEntry& entry : kReaders)
            if (key == entry.key && !GuardedRead(entry.reader, entry.failure))
                break;
    loadStatus_ = shell::UpperCaseAscii(imageName_);
    return loadStatus_;
}

bool TPMultiImage::GuardedRead(FileReader reader, const char* failure) {
    toolkit::TBitmap temporary;
    try {
        StopMessageDisplay();
        bool ok;
        if (reader)
            ok = reader(imageName_, ResolutionCode(), imageDither_ ? 1 : 0, temporary, 0);
        else
            ok = ReadResourceBitmap(ResourceModule, FileStem(imageName_), handle_, temporary);
        if (!ok)
            ShowLoadFailure(failure);
    } catch (...) {
        picture_.SetGraphic(nullptr);
        return false;
    }
    picture_.SetGraphic(&temporary);
    QueryImageInfo(imageName_);
    return true;
}

void TPMultiImage::ClearImageInfo() {
    InfoType.clear();
    InfoFormat.clear();
    InfoWidth = InfoHeight = InfoBits = InfoPlanes = InfoExtra = InfoFileSize = 0;
}

bool TPMultiImage::QueryImageInfo(const std::string& path) {
    const std::string key = shell::ExtensionKey(path);
    if (key == ".RES") {
        if (!picture_.Bitmap()) {
            toolkit::TBitmap empty;
            picture_.SetGraphic(&empty);
        }
        const toolkit::TBitmap& bitmap = *picture_.Bitmap();
        InfoType = "RES";
        InfoWidth = bitmap.Width();
        InfoHeight = bitmap.Height();
        InfoBits = InfoPlanes = InfoExtra = 0;
        InfoFormat = "BMP";
        InfoFileSize = DibSizeOf(bitmap);
        return true;
    }
    if (key == ".WMF" || key == ".ICO" || key == ".SCM" || key == ".CMS") {
        if (!shell::IsExistingFile(path)) {
            InfoType = InfoFormat = "ERR";
            InfoWidth = InfoHeight = InfoBits = InfoPlanes = InfoExtra = InfoFileSize = -1;
            return false;
        }
        bool message = key == ".SCM" || key == ".CMS";
        InfoType = InfoFormat = key.substr(1);
        InfoWidth = message ? 0 : picture_.Width();
        InfoHeight = message ? 0 : picture_.Height();
        InfoBits = InfoPlanes = InfoExtra = 0;
        InfoFileSize = FileSizeOf(path);
        return true;
    }
    ImageInfo info;
    bool result = ReadImageInfo(path, info);
    InfoType = info.type;
    InfoWidth = info.width;
    InfoHeight = info.height;
    InfoBits = info.bits;
    InfoPlanes = info.planes;
    InfoExtra = info.extra;
    InfoFormat = info.description;
    InfoFileSize = FileSizeOf(path);
    return result;
}

} // namespace image
