#include "browser/Glyphs.h"

namespace browser {

const char* GlyphResourceName(GlyphKind kind) {
    switch (kind) {
    case GlyphKind::Floppy:
        return "FLOPPY";
    case GlyphKind::Hard:
        return "HARD";
    case GlyphKind::Network:
        return "NETWORK";
    case GlyphKind::CdRom:
        return "CDROM";
    case GlyphKind::Ram:
        return "RAM";
    case GlyphKind::ClosedFolder:
        return "CLOSEDFOLDER";
    case GlyphKind::Executable:
        return "EXECUTABLE";
    case GlyphKind::UnknownFile:
        return "UNKNOWNFILE";
    case GlyphKind::None:
        break;
    }
    return nullptr;
}

GlyphSet& GlyphSet::Shared() {
    static GlyphSet set;
    return set;
}

GlyphSet::Prepared& GlyphSet::Prepare(GlyphKind kind) {
    Prepared& glyph = glyphs_[static_cast<size_t>(kind)];
    if (glyph.tried)
        return glyph;
    glyph.tried = true;
    toolkit::BitmapHandle bitmap(LoadBitmapA(GetModuleHandleA(nullptr), GlyphResourceName(kind)));
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap.Get(), sizeof info, &info))
        return glyph;
    const int w = info.bmWidth, h = info.bmHeight;
    toolkit::MemoryDC source(nullptr), mask(nullptr), picture(nullptr);
    toolkit::SelectGuard selectSource(source.Get(), bitmap.Get());
    // The mask: 1 where the picture has its bottom-left colour.
    glyph.mask.Reset(CreateBitmap(w, h, 1, 1, nullptr));
    toolkit::SelectGuard selectMask(mask.Get(), glyph.mask.Get());
    SetBkColor(source.Get(), GetPixel(source.Get(), 0, h - 1));
    BitBlt(mask.Get(), 0, 0, w, h, source.Get(), 0, 0, SRCCOPY);
    // The picture with those pixels black: it ANDs the mask's white away.
    glyph.picture.Reset(CreateCompatibleBitmap(toolkit::WindowDC(nullptr).Get(), w, h));
    toolkit::SelectGuard selectPicture(picture.Get(), glyph.picture.Get());
    BitBlt(picture.Get(), 0, 0, w, h, source.Get(), 0, 0, SRCCOPY);
    SetTextColor(picture.Get(), RGB(0, 0, 0));
    SetBkColor(picture.Get(), RGB(255, 255, 255));
    BitBlt(picture.Get(), 0, 0, w, h, mask.Get(), 0, 0, 0x00220326); // DSna
    glyph.size = {w, h};
    return glyph;
}

SIZE GlyphSet::Size(GlyphKind kind) {
    return kind == GlyphKind::None ? SIZE{0, 0} : Prepare(kind).size;
}

void GlyphSet::Draw(HDC dc, GlyphKind kind, const RECT& row) {
    if (kind == GlyphKind::None)
        return;
    const Prepared& glyph = Prepare(kind);
    if (!glyph.picture)
        return;
    const int left = row.left + 2;
    const int top = row.top + (row.bottom - row.top - glyph.size.cy) / 2;
    toolkit::MemoryDC source(dc);
    // The mask keeps the row where it is white and clears it under the glyph.
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    {
        toolkit::SelectGuard select(source.Get(), glyph.mask.Get());
        BitBlt(dc, left, top, glyph.size.cx, glyph.size.cy, source.Get(), 0, 0, SRCAND);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    toolkit::SelectGuard select(source.Get(), glyph.picture.Get());
    BitBlt(dc, left, top, glyph.size.cx, glyph.size.cy, source.Get(), 0, 0, SRCPAINT);
}

bool BeginGlyphRow(const GlyphRow& row) {
    bool selected = row.item.itemState & ODS_SELECTED;
    toolkit::BrushHandle brush(
        CreateSolidBrush(selected ? GetSysColor(COLOR_HIGHLIGHT) : row.background));
    FillRect(row.item.hDC, &row.item.rcItem, brush.Get());
    return row.item.itemID != static_cast<UINT>(-1);
}

void FinishGlyphRow(const GlyphRow& row, GlyphKind glyph, const std::string& text, int textLeft) {
    HDC dc = row.item.hDC;
    GlyphSet::Shared().Draw(dc, glyph, row.item.rcItem);
    toolkit::SelectGuard font(dc, row.font);
    SetBkMode(dc, TRANSPARENT);
    bool selected = row.item.itemState & ODS_SELECTED;
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : row.textColor);
    RECT textRect = row.item.rcItem;
    textRect.left += textLeft;
    DrawTextA(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (row.item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &row.item.rcItem);
}

} // namespace browser
