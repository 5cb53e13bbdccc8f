// TPMultiImage: the picture control. Loads a picture by the extension of the
// path written to ImageName, keeps the image information of the last query,
// and draws the picture plain, centred or stretched with a text overlay; or
// shows a scrolling-message or credit file instead, stepped by WM_USER+1/+2.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Graphics.h"

#include <string>
#include <vector>

namespace image {

enum class TLoadResolution { lColorVga, lMonoChrome, lColor16, lColor256, lColorTrue, lAutoMatic };
enum class TSaveResolution {
    sColorVga,
    sMonoChrome,
    sColor16,
    sColor256,
    sColorTrue,
    sJpegGray,
    sAutoMatic
};
enum class TTiffCompression { sNONE, sCCITT, sLZW, sPACKBITS };
enum class TImageBorderStyle { bsNone, bsSingle };

// Where a picture is drawn: its top-left corner and the size it is drawn at.
struct DrawPlace {
    LONG left, top, width, height;
};
// The destination of an aspect-keeping stretch in a client rectangle at 0, 0.
DrawPlace AspectRectangle(const RECT& client, int pictureWidth, int pictureHeight);
// Halves to the even neighbour; false when the value cannot be rounded.
bool RoundHalfEven(long double value, long& result);
// A text measured in the font selected into the DC as a label measures its
// caption: one line, tabs expanded, "&" a prefix, an empty text as a blank.
// Measuring stops soon after the width passes the longest strip.
SIZE MeasureCaption(HDC dc, const std::string& text);

// The state of a scrolling or credit message shown instead of a picture.
struct MessageDisplayState {
    toolkit::TBitmap MessageBitmap;
    toolkit::TFont MessageFont;
    std::vector<std::string> MessageLines;
    std::string MessageText;
    toolkit::TColor MessageBackColor = 0;
    int MessageSpeed = 0;
    bool ScrollActive = false;
    bool CreditActive = false;
    int TickCount = 0;
    int LineIndex = 0;
    toolkit::TColor SavedColor = 0;
    int StripX = 0;
    int StripY = 0;
    int StripXEnd = 0;
    int StripYEnd = 0;
    int StripWidth = 0;
    int LineHeight = 0;
    int AreaWidth = 0;
    int AreaHeight = 0;
};

class TPMultiImage : public toolkit::TControl {
public:
    explicit TPMultiImage(toolkit::TControl* parent);
    ~TPMultiImage() override;

    toolkit::TNotifyEvent OnPaint;

    toolkit::TPicture& Picture() { return picture_; }
    // Copies the given picture's graphic.
    void SetPicture(const toolkit::TPicture& picture) { picture_.Assign(picture); }

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    TImageBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TImageBorderStyle value);
    const std::string& DefSaveFilename() const { return defSaveFilename_; }
    void SetDefSaveFilename(const std::string& value) { defSaveFilename_ = value; }

    // Reading loads the stored path again and returns LoadStatus.
    std::string ImageName();
    // Stores the path and loads it.
    void SetImageName(const std::string& path);
    const std::string& StoredImageName() const { return imageName_; }

    bool ImageLibPalette() const { return imageLibPalette_; }
    void SetImageLibPalette(bool value) { imageLibPalette_ = value; }
    bool ImageDither() const { return imageDither_; }
    void SetImageDither(bool value) { imageDither_ = value; }
    TLoadResolution ImageReadRes() const { return imageReadRes_; }
    void SetImageReadRes(TLoadResolution value) { imageReadRes_ = value; }
    TSaveResolution ImageWriteRes() const { return imageWriteRes_; }
    void SetImageWriteRes(TSaveResolution value) { imageWriteRes_ = value; }
    TTiffCompression TifSaveCompress() const { return tifSaveCompress_; }
    void SetTifSaveCompress(TTiffCompression value) { tifSaveCompress_ = value; }
    int JPegSaveQuality() const { return jpegSaveQuality_; }
    void SetJPegSaveQuality(int value);
    int JPegSaveSmooth() const { return jpegSaveSmooth_; }
    void SetJPegSaveSmooth(int value);
    bool PNGInterLaced() const { return pngInterlaced_; }
    void SetPNGInterLaced(bool value) { pngInterlaced_ = value; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool StretchRatio() const { return stretchRatio_; }
    void SetStretchRatio(bool value);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);
    bool TextShadow() const { return textShadow_; }
    void SetTextShadow(bool value);
    toolkit::TColor TextShadowColor() const { return textShadowColor_; }
    void SetTextShadowColor(toolkit::TColor value) { textShadowColor_ = value; }
    int TextLeft() const { return textLeft_; }
    void SetTextLeft(int value);
    int TextTop() const { return textTop_; }
    void SetTextTop(int value);
    int TextRotate() const { return textRotate_; }
    void SetTextRotate(int value);
    bool TextTransParent() const { return textTransparent_; }
    void SetTextTransParent(bool value);
    bool UseTwainWindow() const { return useTwainWindow_; }
    void SetUseTwainWindow(bool value) { useTwainWindow_ = value; }

    // Image information of the last query.
    std::string InfoType;
    int InfoWidth = 0;
    int InfoHeight = 0;
    int InfoBits = 0;
    int InfoPlanes = 0;
    int InfoExtra = 0;
    int InfoFileSize = 0;
    std::string InfoFormat;
    std::string ResourceModule;
    const std::string& LoadStatus() const { return loadStatus_; }

    // The message display's state; tests read and set it.
    MessageDisplayState& MessageState() { return message_; }

    std::string LoadImage();
    bool QueryImageInfo(const std::string& path);
    void ShowLoadFailure(const std::string& message);
    void StopMessageDisplay();
    void StartScrollMessage(const std::string& path);
    void StartCreditMessage(const std::string& path);
    void PrepareCreditLine();
    // Counts a step message against the divider (TickCount).
    bool TickDue(int divider);
    // The handlers of WM_USER+1 and WM_USER+2.
    void ScrollStep();
    void CreditStep();

    // The clipboard: bitmap with its palette, or enhanced metafile.
    // No picture information: type and format empty, every figure 0.
    void ClearImageInfo();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    static bool ClipboardOffersPicture();

    void HandlePictureChange();
    bool Opaque() const { return opaque_; }
    HPALETTE ControlPalette() const;
    HPALETTE GetPalette() const override { return ControlPalette(); }
    // Invalidates the window, erasing unless the control is opaque.
    void Repaint();
    // How often Repaint ran: tests count repaint requests.
    int RepaintCount() const { return repaintCount_; }

    // Paints into any device context (WM_PAINT and WM_PRINTCLIENT).
    void Paint(HDC dc);
    void DrawTextOverlay(toolkit::TCanvas& canvas, int x, int y, int rotation, bool shadow,
                         bool transparent, toolkit::TColor shadowColor, const std::string& text);
    // The resolution code the readers get.
    int ResolutionCode();

    bool SetProperty(const std::string& name, const toolkit::LayoutValue& value) override;

    // Makes "TPMultiImage" known to layouts.
    static void Register();

protected:
    CreateParams GetCreateParams() const override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool DoKeyDown(WORD& key, unsigned shift) override;
    bool DoKeyPress(char& key) override;

private:
    void PaintStandard(toolkit::TCanvas& canvas);
    void PaintLibraryDrawn(toolkit::TCanvas& canvas);
    // Stretched to the place's size, or at the bitmap's own size.
    void BlitBitmap(toolkit::TCanvas& canvas, const toolkit::TBitmap& bitmap,
                    const DrawPlace& place, bool stretch);
    void FinishPaint(toolkit::TCanvas& canvas);
    RECT ClientRect() const;

    // Message display helpers: invalidate and paint at once; the credit strip
    // from the padded MessageText; MessageBitmap made and drawn; drawing
    // straight onto the window.
    void RepaintNow();
    void PrepareCreditStrip(bool saveColor);
    void SizeMessageBitmap(int width, int height);
    void RenderMessageText();
    void FillWindowSurface(toolkit::TColor color);
    void DrawStripOnWindow();

public:
    using FileReader = bool (*)(const std::string&, int, int, toolkit::TBitmap&, int);

private:
    // One reader of the table; false when it raised (the picture is then cleared).
    bool GuardedRead(FileReader reader, const char* failure);

    toolkit::TPicture picture_;
    MessageDisplayState message_;
    bool autoSize_ = false;
    TImageBorderStyle borderStyle_ = TImageBorderStyle::bsNone;
    bool stretch_ = false;
    bool stretchRatio_ = false;
    bool center_ = false;
    std::string imageName_;
    bool imageDither_ = true;
    TLoadResolution imageReadRes_ = TLoadResolution::lAutoMatic;
    TSaveResolution imageWriteRes_ = TSaveResolution::sAutoMatic;
    bool pngInterlaced_ = false;
    int jpegSaveQuality_ = 25;
    int jpegSaveSmooth_ = 0;
    std::string defSaveFilename_;
    bool imageLibPalette_ = true;
    std::string loadStatus_;
    std::string text_;
    bool textShadow_ = false;
    int textLeft_ = 0;
    int textTop_ = 0;
    int textRotate_ = 0;
    bool textTransparent_ = true;
    toolkit::TColor textShadowColor_ = 0;
    TTiffCompression tifSaveCompress_ = TTiffCompression::sNONE;
    bool useTwainWindow_ = true;
    bool opaque_ = false;
    int repaintCount_ = 0;
    // The canvas brush: white until the library-drawn path sets it.
    toolkit::TColor canvasBrush_ = toolkit::clWhite;
};

} // namespace image
