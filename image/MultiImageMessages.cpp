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
    return image::TickDue(message_.TickCount, divider);
}

void TPMultiImage::RepaintNow() {
    Repaint();
    Update();
}

void TPMultiImage::StartScrollMessage(const std::string& path) {
    picture_.SetGraphic(nullptr);
    message_.AreaWidth = width_;
    message_.AreaHeight = height_;
    ParseScrollFile(path, message_.MessageFont, message_.MessageSpeed, message_.MessageBackColor,
                    message_.MessageText);
    RepaintNow();
    const SIZE extent = MeasureInFont(message_.MessageFont, message_.MessageText);
    long long w = extent.cx, h = extent.cy;
    LimitStrip(w, h, 0);
    message_.StripWidth = static_cast<int>(w);
    message_.StripX = message_.AreaWidth;
    message_.StripXEnd = Add32(message_.AreaWidth, w);
    message_.StripY = Add32(message_.AreaHeight, -h) / 2;
    SizeMessageBitmap(static_cast<int>(w), static_cast<int>(h));
    message_.SavedColor = Color();
    SetColor(message_.MessageBackColor);
    RenderMessageText();
    message_.ScrollActive = true;
}

void TPMultiImage::StartCreditMessage(const std::string& path) {
    picture_.SetGraphic(nullptr);
    ParseCreditFile(path, message_.MessageFont, message_.MessageSpeed, message_.MessageBackColor,
                    message_.MessageLines);
    message_.LineIndex = 0;
    if (message_.MessageLines.empty())
        return;
    message_.MessageText = message_.MessageLines.front();
    if (message_.MessageText.empty())
        return;
    PrepareCreditStrip(true);
}

void TPMultiImage::PrepareCreditLine() {
    if (message_.MessageLines.empty())
        return;
    if (message_.LineIndex < 0 ||
        static_cast<size_t>(message_.LineIndex) >= message_.MessageLines.size())
        message_.LineIndex = 0;
    message_.MessageText = message_.MessageLines[static_cast<size_t>(message_.LineIndex)];
    if (message_.MessageText.empty())
        return;
    PrepareCreditStrip(!message_.CreditActive);
}

void TPMultiImage::PrepareCreditStrip(bool saveColor) {
    if (message_.MessageText.front() != ' ')
        message_.MessageText.insert(0, "  ");
    if (message_.MessageText.back() != ' ')
        message_.MessageText += ' ';
    message_.AreaWidth = width_;
    message_.AreaHeight = height_;
    RepaintNow();
    const SIZE extent = MeasureInFont(message_.MessageFont, message_.MessageText);
    long long w = extent.cx, h = extent.cy;
    // Widened by one n-2'th (n characters); a lone blank so becomes 0 wide.
    const long long divisor = static_cast<long long>(message_.MessageText.size()) - 2;
    if (divisor != 0)
        w += w / divisor;
    LimitStrip(w, h, 5);
    message_.LineHeight = static_cast<int>(h);
    message_.StripWidth = static_cast<int>(w);
    message_.StripX = Add32(message_.AreaWidth, -w) / 2;
    message_.StripY = message_.AreaHeight;
    message_.StripYEnd = Add32(message_.AreaHeight, h);
    SizeMessageBitmap(static_cast<int>(w), static_cast<int>(h + 5));
    if (saveColor)
        message_.SavedColor = Color();
    if (Color() != message_.MessageBackColor) // the next line: no second repaint
        SetColor(message_.MessageBackColor);
    FillWindowSurface(message_.MessageBackColor);
    RenderMessageText();
    message_.CreditActive = true;
}

void TPMultiImage::SizeMessageBitmap(int width, int height) {
    if (width <= 0 || height <= 0) {
        message_.MessageBitmap.SetHandle(nullptr);
        return;
    }
    toolkit::WindowDC screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    if (!bitmap)
        OutOfResources();
    message_.MessageBitmap.SetHandle(bitmap);
}

void TPMultiImage::RenderMessageText() {
    if (message_.MessageBitmap.Empty())
        return;
    const int width = message_.MessageBitmap.Width(), height = message_.MessageBitmap.Height();
    toolkit::WindowDC screen(nullptr);
    toolkit::MemoryDC memory(screen.Get());
    if (!memory.Get())
        OutOfResources();
    toolkit::SelectGuard bitmap(memory.Get(), message_.MessageBitmap.Handle());
    const COLORREF back = toolkit::ColorToRGB(message_.MessageBackColor);
    toolkit::BrushHandle brush(CreateSolidBrush(back));
    RECT all{0, 0, width, height};
    FillRect(memory.Get(), &all, brush.Get());
    const toolkit::TFont limited = StripFont(message_.MessageFont);
    toolkit::SelectGuard font(memory.Get(), limited.Handle());
    SetBkMode(memory.Get(), OPAQUE);
    SetBkColor(memory.Get(), back);
    SetTextColor(memory.Get(), toolkit::ColorToRGB(message_.MessageFont.Color()));
    // Characters past the strip's right edge would not show.
    size_t length = 0;
    PieceWidth(memory.Get(), message_.MessageText.data(), message_.MessageText.size(), width,
               length);
    TextOutA(memory.Get(), 0, 0, message_.MessageText.data(), static_cast<int>(length));
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
    if (!handle_ || message_.MessageBitmap.Empty())
        return;
    toolkit::WindowDC window(handle_);
    toolkit::MemoryDC memory(window.Get());
    if (!memory.Get())
        OutOfResources();
    toolkit::SelectGuard bitmap(memory.Get(), message_.MessageBitmap.Handle());
    BitBlt(window.Get(), message_.StripX, message_.StripY, message_.MessageBitmap.Width(),
           message_.MessageBitmap.Height(), memory.Get(), 0, 0, SRCCOPY);
}

void TPMultiImage::ScrollStep() {
    if (!message_.ScrollActive || !TickDue(message_.MessageSpeed))
        return;
    message_.StripX = Add32(message_.StripX, -1);
    message_.StripXEnd = Add32(message_.StripXEnd, -1);
    if (message_.StripXEnd < 0) {
        // Gone past the left edge: in again from the right.
        message_.StripX = message_.AreaWidth;
        message_.StripXEnd = Add32(message_.AreaWidth, message_.StripWidth);
    }
    DrawStripOnWindow();
}

void TPMultiImage::CreditStep() {
    if (!message_.CreditActive || !TickDue(message_.MessageSpeed))
        return;
    message_.StripY = Add32(message_.StripY, -1);
    message_.StripYEnd = Add32(message_.StripYEnd, -1);
    if (message_.StripY < -static_cast<long long>(message_.LineHeight) - 5) {
        // Gone past the top edge: the next line, or this one again.
        if (!message_.MessageLines.empty()) {
            const bool last =
                message_.LineIndex < 0 ||
                message_.LineIndex + 1LL >= static_cast<long long>(message_.MessageLines.size());
            message_.LineIndex = last ? 0 : message_.LineIndex + 1;
            PrepareCreditLine();
        } else {
            message_.StripY = message_.AreaHeight;
            message_.StripYEnd = Add32(message_.AreaHeight, message_.LineHeight);
        }
    }
    DrawStripOnWindow();
}

} // namespace image
