// TPMultiImage: scrolling-message and credit displays, stepped by WM_USER+1 and WM_USER+2.
#include "image/MessageFiles.h"
#include "image/TMultiP.h"
#include "toolkit/Errors.h"

#include <algorithm>

namespace image {

namespace {

// Text measured in pieces, so that no single call sums a huge width.
constexpr size_t kPiece = 256;

// The width of text[0, size) in pieces, stopping after the piece that passes
// `limit`; `used` receives the characters measured.
long long PieceWidth(HDC dc, const char* text, size_t size, long long limit, size_t& used) {
    long long width = 0;
    used = 0;
    while (used < size && width <= limit) {
        const size_t count = std::min(kPiece, size - used);
        SIZE extent{};
        if (GetTextExtentPoint32A(dc, text + used, static_cast<int>(count), &extent))
            width += std::max<LONG>(extent.cx, 0);
        used += count;
    }
    return width;
}

// "&x" shows x; "&&" shows one "&".
std::string WithoutPrefixes(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

// The message font with its height kept within kMaxFontHeight.
toolkit::TFont StripFont(const toolkit::TFont& font) {
    toolkit::TFont limited(font);
    limited.SetHeight(std::clamp(font.Height(), -kMaxFontHeight, kMaxFontHeight));
    return limited;
}

SIZE MeasureInFont(const toolkit::TFont& font, const std::string& text) {
    const toolkit::TFont limited = StripFont(font);
    toolkit::WindowDC screen(nullptr);
    toolkit::SelectGuard select(screen.Get(), limited.Handle());
    return MeasureCaption(screen.Get(), text);
}

[[noreturn]] void OutOfResources() {
    toolkit::RaiseOutOfResources();
}

} // namespace

SIZE MeasureCaption(HDC dc, const std::string& text) {
    const std::string shown = text.empty() ? std::string(" ") : WithoutPrefixes(text);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const long long tab = 8LL * metrics.tmAveCharWidth;
    long long x = 0;
    size_t i = 0;
    while (i < shown.size() && x <= kMaxStripSide) {
        size_t tabAt = shown.find('\t', i);
        if (tabAt == std::string::npos)
            tabAt = shown.size();
        size_t used = 0;
        x += PieceWidth(dc, shown.data() + i, tabAt - i, kMaxStripSide - x, used);
        if (used < tabAt - i)
            break;
        if (tabAt < shown.size() && tab > 0)
            x = (x / tab + 1) * tab; // the next tab stop
        i = tabAt + 1;
    }
    return SIZE{static_cast<LONG>(std::min<long long>(x, 2 * kMaxStripSide)),
                std::max<LONG>(metrics.tmHeight, 0)};
}

bool TPMultiImage::TickDue(int divider) {
    return image::TickDue(TickCount, divider);
}

void TPMultiImage::RepaintNow() {
    Repaint();
    Update();
}

void TPMultiImage::StartScrollMessage(const std::string& path) {
    picture_.SetGraphic(nullptr);
    AreaWidth = width_;
    AreaHeight = height_;
    ParseScrollFile(path, MessageFont, MessageSpeed, MessageBackColor, MessageText);
    RepaintNow();
    const SIZE extent = MeasureInFont(MessageFont, MessageText);
    long long w = extent.cx, h = extent.cy;
    LimitStrip(w, h, 0);
    StripWidth = static_cast<int>(w);
    StripX = AreaWidth;
    StripXEnd = Add32(AreaWidth, w);
    StripY = Add32(AreaHeight, -h) / 2;
    SizeMessageBitmap(static_cast<int>(w), static_cast<int>(h));
    SavedColor = Color();
    SetColor(MessageBackColor);
    RenderMessageText();
    ScrollActive = true;
}

void TPMultiImage::StartCreditMessage(const std::string& path) {
    picture_.SetGraphic(nullptr);
    ParseCreditFile(path, MessageFont, MessageSpeed, MessageBackColor, MessageLines);
    LineIndex = 0;
    if (MessageLines.empty())
        return;
    MessageText = MessageLines.front();
    if (MessageText.empty())
        return;
    PrepareCreditStrip(true);
}

void TPMultiImage::PrepareCreditLine() {
    if (MessageLines.empty())
        return;
    if (LineIndex < 0 || static_cast<size_t>(LineIndex) >= MessageLines.size())
        LineIndex = 0;
    MessageText = MessageLines[static_cast<size_t>(LineIndex)];
    if (MessageText.empty())
        return;
    PrepareCreditStrip(!CreditActive);
}

void TPMultiImage::PrepareCreditStrip(bool saveColor) {
    if (MessageText.front() != ' ')
        MessageText.insert(0, "  ");
    if (MessageText.back() != ' ')
        MessageText += ' ';
    AreaWidth = width_;
    AreaHeight = height_;
    RepaintNow();
    const SIZE extent = MeasureInFont(MessageFont, MessageText);
    long long w = extent.cx, h = extent.cy;
    // Widened by one n-2'th (n characters); a lone blank so becomes 0 wide.
    const long long divisor = static_cast<long long>(MessageText.size()) - 2;
    if (divisor != 0)
        w += w / divisor;
    LimitStrip(w, h, 5);
    LineHeight = static_cast<int>(h);
    StripWidth = static_cast<int>(w);
    StripX = Add32(AreaWidth, -w) / 2;
    StripY = AreaHeight;
    StripYEnd = Add32(AreaHeight, h);
    SizeMessageBitmap(static_cast<int>(w), static_cast<int>(h + 5));
    if (saveColor)
        SavedColor = Color();
    if (Color() != MessageBackColor) // the next line: no second repaint
        SetColor(MessageBackColor);
    FillWindowSurface(MessageBackColor);
    RenderMessageText();
    CreditActive = true;
}

void TPMultiImage::SizeMessageBitmap(int width, int height) {
    if (width <= 0 || height <= 0) {
        MessageBitmap.SetHandle(nullptr);
        return;
    }
    toolkit::WindowDC screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    if (!bitmap)
        OutOfResources();
    MessageBitmap.SetHandle(bitmap);
}

void TPMultiImage::RenderMessageText() {
    if (MessageBitmap.Empty())
        return;
    const int width = MessageBitmap.Width(), height = MessageBitmap.Height();
    toolkit::WindowDC screen(nullptr);
    toolkit::MemoryDC memory(screen.Get());
    if (!memory.Get())
        OutOfResources();
    toolkit::SelectGuard bitmap(memory.Get(), MessageBitmap.Handle());
    const COLORREF back = toolkit::ColorToRGB(MessageBackColor);
    toolkit::BrushHandle brush(CreateSolidBrush(back));
    RECT all{0, 0, width, height};
    FillRect(memory.Get(), &all, brush.Get());
    const toolkit::TFont limited = StripFont(MessageFont);
    toolkit::SelectGuard font(memory.Get(), limited.Handle());
    SetBkMode(memory.Get(), OPAQUE);
    SetBkColor(memory.Get(), back);
    SetTextColor(memory.Get(), toolkit::ColorToRGB(MessageFont.Color()));
    // Characters past the strip's right edge would not show.
    size_t length = 0;
    PieceWidth(memory.Get(), MessageText.data(), MessageText.size(), width, length);
    TextOutA(memory.Get(), 0, 0, MessageText.data(), static_cast<int>(length));
}

void TPMultiImage::FillWindowSurface(toolkit::TColor color) {
    if (!handle_)
        return;
    toolkit::WindowDC window(handle_);
    toolkit::BrushHandle brush(CreateSolidBrush(toolkit::ColorToRGB(color)));
    RECT area{0, 0, width_, height_};
    FillRect(window.Get(), &area, brush.Get());
}

void TPMultiImage::DrawStripOnWindow() {
    if (!handle_ || MessageBitmap.Empty())
        return;
    toolkit::WindowDC window(handle_);
    toolkit::MemoryDC memory(window.Get());
    if (!memory.Get())
        OutOfResources();
    toolkit::SelectGuard bitmap(memory.Get(), MessageBitmap.Handle());
    BitBlt(window.Get(), StripX, StripY, MessageBitmap.Width(), MessageBitmap.Height(),
           memory.Get(), 0, 0, SRCCOPY);
}

void TPMultiImage::ScrollStep() {
    if (!ScrollActive || !TickDue(MessageSpeed))
        return;
    StripX = Add32(StripX, -1);
    StripXEnd = Add32(StripXEnd, -1);
    if (StripXEnd < 0) {
        // Gone past the left edge: in again from the right.
        StripX = AreaWidth;
        StripXEnd = Add32(AreaWidth, StripWidth);
    }
    DrawStripOnWindow();
}

void TPMultiImage::CreditStep() {
    if (!CreditActive || !TickDue(MessageSpeed))
        return;
    StripY = Add32(StripY, -1);
    StripYEnd = Add32(StripYEnd, -1);
    if (StripY < -static_cast<long long>(LineHeight) - 5) {
        // Gone past the top edge: the next line, or this one again.
        if (!MessageLines.empty()) {
            const bool last =
                LineIndex < 0 || LineIndex + 1LL >= static_cast<long long>(MessageLines.size());
            LineIndex = last ? 0 : LineIndex + 1;
            PrepareCreditLine();
        } else {
            StripY = AreaHeight;
            StripYEnd = Add32(AreaHeight, LineHeight);
        }
    }
    DrawStripOnWindow();
}

} // namespace image
