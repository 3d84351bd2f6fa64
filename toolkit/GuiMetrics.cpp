#include "toolkit/GuiMetrics.h"

#include <cwchar>

namespace {

// A screen DC for measuring, with the font selected for the scope.
class ScreenFontDC {
public:
    explicit ScreenFontDC(HFONT font) : dc_(::GetDC(nullptr)), old_(::SelectObject(dc_, font)) {}
    ~ScreenFontDC() {
        ::SelectObject(dc_, old_);
        ::ReleaseDC(nullptr, dc_);
    }
    ScreenFontDC(const ScreenFontDC&) = delete;
    ScreenFontDC& operator=(const ScreenFontDC&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace

SIZE TextExtentInFont(HDC dc, const wchar_t* text, HFONT font)
{
    SelectGdi select(dc, font);
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc, text ? text : L"", -1, &r, DT_CALCRECT | DT_NOPREFIX);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE CharCellFromMetrics(HFONT font)
{
    ScreenFontDC sdc(font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(sdc.dc(), &tm);
    return SIZE{(tm.tmMaxCharWidth + 3 * tm.tmAveCharWidth) / 4, tm.tmHeight};
}

SIZE CharCellFromSample(HFONT font)
{
    ScreenFontDC sdc(font);
    SIZE extent{0, 0};
    ::GetTextExtentPoint32W(sdc.dc(), L"CDCDCDCD", 8, &extent);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(sdc.dc(), &tm);
    return SIZE{extent.cx / 8, tm.tmHeight};
}

bool CreateFontPoints(CFont& font, const wchar_t* face, int points, bool italic, int weight)
{
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(points, dpi, 72);
    lf.lfItalic = italic ? 1 : 0;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (face) wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    font.DeleteObject();
    return font.CreateFontIndirect(lf);
}
