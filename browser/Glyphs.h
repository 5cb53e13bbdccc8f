// The small pictures before drive and file entries, loaded from the
// program's resources and drawn with their bottom-left colour transparent.
#pragma once

#include "toolkit/Gdi.h"

#include <windows.h>

#include <array>
#include <string>

namespace browser {

enum class GlyphKind {
    Floppy,
    Hard,
    Network,
    CdRom,
    Ram,
    ClosedFolder,
    Executable,
    UnknownFile,
    None,
};

const char* GlyphResourceName(GlyphKind kind);

class GlyphSet {
public:
    static GlyphSet& Shared();

    // Size of a glyph, {0, 0} when its resource is missing.
    SIZE Size(GlyphKind kind);
    // Draws the glyph 2 pixels from the row's left edge, centred vertically.
    void Draw(HDC dc, GlyphKind kind, const RECT& row);

private:
    // A glyph made ready for drawing once: its transparent pixels are set in
    // the mask and black in the picture, so that a row draws it with two
    // plain blits.
    struct Prepared {
        toolkit::BitmapHandle mask;
        toolkit::BitmapHandle picture;
        SIZE size{0, 0};
        bool tried = false;
    };
    Prepared& Prepare(GlyphKind kind);
    std::array<Prepared, 8> glyphs_;
};

// Where a row's text starts: the glyph's width plus 6 (22 for our glyphs).
constexpr int kGlyphTextOffset = 22;

// One owner-drawn row of the drive box or the file list: background,
// glyph, text (at textLeft) and focus frame.
struct GlyphRow {
    const DRAWITEMSTRUCT& item;
    COLORREF background;
    COLORREF textColor;
    HFONT font;
};
// Paints the row's background; false when the row has no entry to draw.
bool BeginGlyphRow(const GlyphRow& row);
void FinishGlyphRow(const GlyphRow& row, GlyphKind glyph, const std::string& text, int textLeft);

} // namespace browser
