#include "toolkit/Graphics.h"

#include "toolkit/Clipboard.h"
#include "toolkit/Errors.h"
#include "toolkit/Gdi.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace toolkit {

// --- TBitmap

TBitmap::TBitmap() : handles_(std::make_shared<Handles>()) {}
TBitmap::~TBitmap() = default;

void TBitmap::Unshare() {
    if (handles_.use_count() > 1)
        handles_ = std::make_shared<Handles>();
}

HBITMAP TBitmap::Handle() const {
    return handles_->bitmap.Get();
}

void TBitmap::SetHandle(HBITMAP handle) {
    Unshare();
    handles_->bitmap.Reset(handle);
}

HPALETTE TBitmap::Palette() const {
    return handles_->palette.Get();
}

void TBitmap::SetPalette(HPALETTE palette) {
    if (handles_.use_count() > 1) {
        // The other owners keep the shared pair; this one gets its own bitmap.
        HBITMAP copy =
            Handle()
                ? static_cast<HBITMAP>(CopyImage(Handle(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
                : nullptr;
        handles_ = std::make_shared<Handles>();
        handles_->bitmap.Reset(copy);
    }
    handles_->palette.Reset(palette);
}

void TBitmap::Assign(const TBitmap& other) {
    handles_ = other.handles_;
}

int TBitmap::Width() const {
    BITMAP info{};
    return Handle() && GetObjectA(Handle(), sizeof info, &info) ? info.bmWidth : 0;
}

int TBitmap::Height() const {
    BITMAP info{};
    return Handle() && GetObjectA(Handle(), sizeof info, &info) ? info.bmHeight : 0;
}

int TBitmap::BitsPerPixel() const {
    BITMAP info{};
    return Handle() && GetObjectA(Handle(), sizeof info, &info) ? info.bmBitsPixel * info.bmPlanes
                                                                : 0;
}

bool TBitmap::Monochrome() const {
    return BitsPerPixel() == 1;
}

bool TBitmap::Empty() const {
    return !Handle();
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) const {
    if (!Handle())
        return;
    MemoryDC source(canvas.dc);
    if (!source.Get())
        RaiseOutOfResources();
    SelectGuard select(source.Get(), Handle());
    PaletteGuard selected(canvas.dc, Palette(), TRUE);
    if (Palette())
        RealizePalette(canvas.dc);
    if (!Monochrome())
        SetStretchBltMode(canvas.dc, COLORONCOLOR);
    StretchBlt(canvas.dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               source.Get(), 0, 0, Width(), Height(), canvas.copyMode);
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(*this);
    return copy;
}

namespace {
HPALETTE CopyPalette(HPALETTE palette) {
    if (!palette)
        return nullptr;
    UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
    if (count == 0 || count > 256)
        return nullptr;
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    GetPaletteEntries(palette, 0, count, logical->palPalEntry);
    return CreatePalette(logical);
}

// A device-dependent copy of a bitmap at the same size; 0 when it cannot be made.
HBITMAP CopyAsDeviceBitmap(HBITMAP source) {
    BITMAP info{};
    if (!source || !GetObjectA(source, sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0 || static_cast<long long>(info.bmWidth) * info.bmHeight > (1LL << 28))
        return nullptr;
    return static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, 0));
}
} // namespace

void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) const {
    format = CF_BITMAP;
    data = CopyAsDeviceBitmap(Handle());
    if (!data)
        RaiseOutOfResources();
    palette = CopyPalette(Palette());
}

// --- TIcon

TIcon::Owner::~Owner() {
    if (icon)
        DestroyIcon(icon);
}

TIcon::TIcon(HICON icon) : icon_(icon ? std::make_shared<Owner>(icon) : nullptr) {
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        width_ = mask.bmWidth;
        height_ = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TIcon::~TIcon() = default;

HICON TIcon::Handle() const {
    return icon_ ? icon_->icon : nullptr;
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) const {
    if (Handle())
        DrawIconEx(canvas.dc, rect.left, rect.top, Handle(), width_, height_, 0, nullptr,
                   DI_NORMAL);
}

std::unique_ptr<TGraphic> TIcon::Clone() const {
    auto copy = std::make_unique<TIcon>(nullptr);
    copy->icon_ = icon_;
    copy->width_ = width_;
    copy->height_ = height_;
    return copy;
}

void TIcon::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) const {
    throw EInvalidGraphicOperation("Zwischenablage unterstützt keine Symbole");
}

// --- TMetafile

void TMetafile::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) const {
    format = CF_ENHMETAFILE;
    data = CopyEnhMetaFileA(Handle(), nullptr);
    palette = nullptr;
    if (!data)
        RaiseOutOfResources();
}

TMetafile::Owner::~Owner() {
    if (metafile)
        DeleteEnhMetaFile(metafile);
}

TMetafile::TMetafile(HENHMETAFILE metafile)
    : metafile_(metafile ? std::make_shared<Owner>(metafile) : nullptr) {
    ENHMETAHEADER header{};
    if (metafile && GetEnhMetaFileHeader(metafile, sizeof header, &header)) {
        // The frame is in hundredths of a millimetre.
        const WindowDC screen(nullptr);
        int dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX);
        int dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        width_ = MulDiv(header.rclFrame.right - header.rclFrame.left, dpiX, 2540);
        height_ = MulDiv(header.rclFrame.bottom - header.rclFrame.top, dpiY, 2540);
    }
}

HENHMETAFILE TMetafile::Handle() const {
    return metafile_ ? metafile_->metafile : nullptr;
}

void TMetafile::Draw(TCanvas& canvas, const RECT& rect) const {
    if (Handle())
        PlayEnhMetaFile(canvas.dc, Handle(), &rect);
}

std::unique_ptr<TGraphic> TMetafile::Clone() const {
    auto copy = std::make_unique<TMetafile>(nullptr);
    copy->metafile_ = metafile_;
    copy->width_ = width_;
    copy->height_ = height_;
    return copy;
}

namespace {

std::vector<BYTE> ReadWholeFile(const std::string& path, size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EFOpenError("Kann Datei " + path + " nicht öffnen");
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || static_cast<unsigned long long>(size) > limit)
        RaiseInvalidGraphic();
    in.seekg(0);
    std::vector<BYTE> data(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(data.data()), size);
    if (!in)
        RaiseInvalidGraphic();
    return data;
}

constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kMetafileLimit = 256u << 20;

} // namespace

std::unique_ptr<TMetafile> LoadMetafile(const std::string& path) {
    std::vector<BYTE> data = ReadWholeFile(path, kMetafileLimit);
    if (data.size() >= 4 && *reinterpret_cast<const DWORD*>(data.data()) == EMR_HEADER) {
        HENHMETAFILE emf = SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data());
        if (!emf)
            RaiseInvalidGraphic();
        return std::make_unique<TMetafile>(emf);
    }
    // A placeable header gives the picture's size in its own units.
    METAFILEPICT picture{MM_ANISOTROPIC, 0, 0, nullptr};
    size_t offset = 0;
    if (data.size() >= 22 && *reinterpret_cast<const DWORD*>(data.data()) == kPlaceableKey) {
        auto word = [&](size_t at) { return *reinterpret_cast<const SHORT*>(data.data() + at); };
        int width = word(10) - word(6);
        int height = word(12) - word(8);
        int unitsPerInch = static_cast<WORD>(word(14));
        if (unitsPerInch > 0) {
            picture.xExt = MulDiv(width, 2540, unitsPerInch);
            picture.yExt = MulDiv(height, 2540, unitsPerInch);
        }
        offset = 22;
    }
    if (data.size() < offset + 18)
        RaiseInvalidGraphic();
    HENHMETAFILE emf =
        SetWinMetaFileBits(static_cast<UINT>(data.size() - offset), data.data() + offset, nullptr,
                           picture.xExt ? &picture : nullptr);
    if (!emf)
        RaiseInvalidGraphic();
    return std::make_unique<TMetafile>(emf);
}

std::unique_ptr<TIcon> LoadIconFile(const std::string& path) {
    std::vector<BYTE> data = ReadWholeFile(path, 16u << 20);
    // ICONDIR: reserved 0, type 1, count; then 16-byte entries.
    if (data.size() < 6 + 16 || data[0] || data[1] || data[2] != 1 || data[3])
        RaiseInvalidGraphic();
    int count = data[4] | (data[5] << 8);
    if (count < 1 || data.size() < 6 + 16u * count)
        RaiseInvalidGraphic();
    // The first image, as the platform's icon loader takes it.
    const BYTE* entry = data.data() + 6;
    DWORD size = *reinterpret_cast<const DWORD*>(entry + 8);
    DWORD offset = *reinterpret_cast<const DWORD*>(entry + 12);
    if (offset > data.size() || size > data.size() - offset || size < 40)
        RaiseInvalidGraphic();
    HICON icon = CreateIconFromResourceEx(data.data() + offset, size, TRUE, 0x00030000, 0, 0,
                                          LR_DEFAULTCOLOR);
    if (!icon)
        RaiseInvalidGraphic();
    return std::make_unique<TIcon>(icon);
}

// --- TPicture

void TPicture::Changed() {
    if (OnChange)
        OnChange();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    graphic_ = graphic ? graphic->Clone() : nullptr;
    Changed();
}

void TPicture::LoadFromClipboard() {
    ClipboardScope open;
    UINT format = 0;
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) {
        if (f == CF_BITMAP || f == CF_METAFILEPICT || f == CF_ENHMETAFILE) {
            format = f;
            break;
        }
    }
    std::unique_ptr<TGraphic> graphic;
    if (format == CF_BITMAP) {
        HBITMAP copy = CopyAsDeviceBitmap(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));
        if (copy) {
            auto bitmap = std::make_unique<TBitmap>();
            bitmap->SetHandle(copy);
            if (IsClipboardFormatAvailable(CF_PALETTE))
                bitmap->SetPalette(
                    CopyPalette(static_cast<HPALETTE>(GetClipboardData(CF_PALETTE))));
            graphic = std::move(bitmap);
        }
    } else if (format == CF_ENHMETAFILE) {
        HENHMETAFILE copy =
            CopyEnhMetaFileA(static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)), nullptr);
        if (copy)
            graphic = std::make_unique<TMetafile>(copy);
    } else if (format == CF_METAFILEPICT) {
        HGLOBAL global = GetClipboardData(CF_METAFILEPICT);
        auto* picture = global ? static_cast<METAFILEPICT*>(GlobalLock(global)) : nullptr;
        if (picture) {
            UINT size = GetMetaFileBitsEx(picture->hMF, 0, nullptr);
            std::vector<BYTE> bits(size);
            if (size && GetMetaFileBitsEx(picture->hMF, size, bits.data())) {
                HENHMETAFILE converted = SetWinMetaFileBits(size, bits.data(), nullptr, picture);
                if (converted)
                    graphic = std::make_unique<TMetafile>(converted);
            }
            GlobalUnlock(global);
        }
    }
    if (!graphic)
        throw EInvalidGraphic("Ungültiges Format der Zwischenablage");
    graphic_ = std::move(graphic);
    Changed();
}

void TPicture::LoadFromFile(const std::string& path) {
    size_t slash = path.find_last_of("\\:/");
    size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                                ? std::string()
                                : path.substr(dot + 1);
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    graphic_.reset();
    try {
        if (lower == "wmf" || lower == "emf")
            graphic_ = LoadMetafile(path);
        else if (lower == "ico")
            graphic_ = LoadIconFile(path);
        else
            throw EInvalidGraphic(
                FormatMessageText("Unbekannte Bilddateierweiterung (.%s)", lower));
    } catch (...) {
        Changed(); // cleared
        throw;
    }
    Changed();
}

} // namespace toolkit
