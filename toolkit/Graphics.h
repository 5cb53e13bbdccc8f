// Graphics: bitmap (with its palette), icon and enhanced metafile, the picture
// that holds one of them, and a small canvas. Copies of a graphic share the
// underlying handles; a change to one replaces its own handles only.
#pragma once

#include "toolkit/Color.h"
#include "toolkit/Gdi.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace toolkit {

// A device context with the state that drawing code reads.
struct TCanvas {
    HDC dc = nullptr;
    DWORD copyMode = SRCCOPY;
    TColor brushColor = clWhite;
};

class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    // Draws into the rectangle of the canvas.
    virtual void Draw(TCanvas& canvas, const RECT& rect) const = 0;
    // A copy that shares the handles.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;
    // New handles for the clipboard: format, data and a palette or 0.
    virtual void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) const = 0;
};

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    HBITMAP Handle() const;
    // Takes ownership; the previous bitmap is released.
    void SetHandle(HBITMAP handle);
    HPALETTE Palette() const;
    // Takes ownership; the previous palette is released.
    void SetPalette(HPALETTE palette);
    // Shares the other bitmap's handles.
    void Assign(const TBitmap& other);
    bool Monochrome() const;
    int BitsPerPixel() const;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    void Draw(TCanvas& canvas, const RECT& rect) const override;
    std::unique_ptr<TGraphic> Clone() const override;
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) const override;

private:
    struct Handles {
        BitmapHandle bitmap;
        PaletteHandle palette;
    };
    // Copy-on-change: a write gives this bitmap handles of its own.
    void Unshare();
    std::shared_ptr<Handles> handles_;
};

class TIcon : public TGraphic {
public:
    explicit TIcon(HICON icon);
    ~TIcon() override;
    HICON Handle() const;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Empty() const override { return !icon_; }
    // At its natural size at the rectangle's top-left corner, never stretched.
    void Draw(TCanvas& canvas, const RECT& rect) const override;
    std::unique_ptr<TGraphic> Clone() const override;
    // Icons have no clipboard form: raises EInvalidGraphicOperation.
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) const override;

private:
    struct Owner {
        explicit Owner(HICON h) : icon(h) {}
        Owner(const Owner&) = delete;
        Owner& operator=(const Owner&) = delete;
        ~Owner();
        HICON icon;
    };
    std::shared_ptr<Owner> icon_;
    int width_ = 0, height_ = 0;
};

class TMetafile : public TGraphic {
public:
    explicit TMetafile(HENHMETAFILE metafile);
    HENHMETAFILE Handle() const;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Empty() const override { return !metafile_; }
    // Played into the rectangle, so scaled to it.
    void Draw(TCanvas& canvas, const RECT& rect) const override;
    std::unique_ptr<TGraphic> Clone() const override;
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) const override;

private:
    struct Owner {
        explicit Owner(HENHMETAFILE h) : metafile(h) {}
        Owner(const Owner&) = delete;
        Owner& operator=(const Owner&) = delete;
        ~Owner();
        HENHMETAFILE metafile;
    };
    std::shared_ptr<Owner> metafile_;
    int width_ = 0, height_ = 0;
};

// Reads a Windows metafile (with or without the placeable header) or an
// enhanced metafile; throws EInvalidGraphic when the file cannot be read.
std::unique_ptr<TMetafile> LoadMetafile(const std::string& path);
// Reads an icon file; throws EInvalidGraphic when it cannot be read.
std::unique_ptr<TIcon> LoadIconFile(const std::string& path);

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* Graphic() const { return graphic_.get(); }
    // The graphic as a bitmap, nullptr for another kind or none.
    TBitmap* Bitmap() const { return dynamic_cast<TBitmap*>(graphic_.get()); }
    // A copy of the graphic (nullptr clears); runs the change notification.
    void SetGraphic(const TGraphic* graphic);
    void Assign(const TPicture& other) { SetGraphic(other.Graphic()); }
    // The graphic by the file's full extension: ".wmf", ".emf" or ".ico".
    void LoadFromFile(const std::string& path);
    // The first bitmap or metafile in the clipboard's own order, with its
    // palette; raises "Ungültiges Format der Zwischenablage" when there is none.
    void LoadFromClipboard();
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    std::function<void()> OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
};

} // namespace toolkit
