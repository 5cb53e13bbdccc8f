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

HBITMAP GlyphSet::Bitmap(GlyphKind kind) {
    if (kind == GlyphKind::None)
        return nullptr;
    auto& slot = bitmaps_[static_cast<size_t>(kind)];
    if (!slot)
        slot.Reset(LoadBitmapA(GetModuleHandleA(nullptr), GlyphResourceName(kind)));
    return slot.Get();
}

SIZE GlyphSet::Size(GlyphKind kind) {
    BITMAP info{};
    HBITMAP bitmap = Bitmap(kind);
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

void GlyphSet::Draw(HDC dc, GlyphKind kind, const RECT& row) {
    HBITMAP bitmap = Bitmap(kind);
    if (!bitmap)
        return;
    SIZE size = Size(kind);
    toolkit::MemoryDC source(dc);
    toolkit::SelectGuard select(source.Get(), bitmap);
    COLORREF transparent = GetPixel(source.Get(), 0, size.cy - 1);
    int top = row.top + (row.bottom - row.top - size.cy) / 2;
    TransparentBlt(dc, row.left + 2, top, size.cx, size.cy, source.Get(), 0, 0, size.cx, size.cy,
                   transparent);
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
