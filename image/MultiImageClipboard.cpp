// TPMultiImage: copy, cut and paste, by call, by message and by key.
#include "image/TMultiP.h"
#include "toolkit/Clipboard.h"
#include "toolkit/Gdi.h"

namespace image {

void TPMultiImage::CopyToClipboard() {
    const toolkit::TGraphic* graphic = picture_.Graphic();
    if (!graphic || graphic->Empty())
        return;
    toolkit::ClipboardScope open;
    toolkit::Clipboard().Clear();
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    graphic->SaveToClipboardFormat(format, data, palette);
    toolkit::PaletteHandle ownPalette(palette); // until the clipboard takes it
    toolkit::Clipboard().SetAsHandle(format, data);
    if (ownPalette)
        toolkit::Clipboard().SetAsHandle(CF_PALETTE, ownPalette.Release());
}

void TPMultiImage::CutToClipboard() {
    if (!picture_.Graphic() || picture_.Graphic()->Empty())
        return;
    CopyToClipboard();
    picture_.SetGraphic(nullptr);
}

bool TPMultiImage::ClipboardOffersPicture() {
    if (toolkit::Clipboard().HasFormat(toolkit::TClipboard::PictureFormat()))
        return true;
    for (UINT format : {CF_BITMAP, CF_METAFILEPICT, CF_ENHMETAFILE})
        if (toolkit::Clipboard().HasFormat(format))
            return true;
    return false;
}

void TPMultiImage::PasteFromClipboard() {
    if (!ClipboardOffersPicture())
        return;
    // The running message display stops; its colour stays.
    message_.ScrollActive = false;
    message_.CreditActive = false;
    picture_.LoadFromClipboard();
}

bool TPMultiImage::DoKeyDown(WORD& key, unsigned shift) {
    bool consumed = TControl::DoKeyDown(key, shift);
    if (key == VK_INSERT) {
        if (shift & toolkit::ssShift)
            PasteFromClipboard();
        else if (shift & toolkit::ssCtrl)
            CopyToClipboard();
    } else if (key == VK_DELETE && (shift & toolkit::ssShift)) {
        CutToClipboard();
    }
    return consumed;
}

bool TPMultiImage::DoKeyPress(char& key) {
    bool consumed = TControl::DoKeyPress(key);
    if (key == toolkit::kCtrlC)
        CopyToClipboard();
    else if (key == toolkit::kCtrlV)
        PasteFromClipboard();
    else if (key == toolkit::kCtrlX)
        CutToClipboard();
    return consumed;
}

} // namespace image
