#include "app/FileDumpPane.h"

#include "app/AppMessages.h"
#include "app/FileDizaPane.h"
#include "app/FilePane.h"
#include "app/resources/resource.h"
#include "core/NumberText.h"
#include "core/SectionLock.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/FindContext.h"
#include "options/Options.h"
#include "toolkit/DrawTools.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ScrollPager.h"
#include "toolkit/ToolTip.h"

#include <algorithm>

namespace {

constexpr int kScrollerWidth = 15;

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

StringW HexText(int64_t value, int digits) {
    wchar_t text[40];
    if (digits > 8)
        swprintf(text, 40, L"%0*X`%08X", digits - 9, static_cast<unsigned>(static_cast<uint64_t>(value) >> 32),
                 static_cast<unsigned>(value));
    else
        swprintf(text, 40, L"%0*X", digits, static_cast<unsigned>(value));
    return StringW(text);
}

void FontMetrics(CFont& font, int32_t& width, int32_t& height) {
    const SIZE cell = CharCellFromMetrics(static_cast<HFONT>(font.GetSafeHandle()));
    width = cell.cx;
    height = cell.cy;
}

}  // namespace

FileDumpPane* FileDumpPane::lastFocused_ = nullptr;

// --- The read window.

uint8_t DumpReadWindow::Ensure(int64_t offset) {
    if (!document || offset < 0 || offset >= document->FileSize())
        return 0;
    if (offset < start || offset >= start + loaded)
        Reload(offset);
    return offset >= start && offset < start + loaded ? buffer[static_cast<size_t>(offset - start)] : 0;
}

void DumpReadWindow::Reload(int64_t offset) {
    loaded = 0;
    if (!document)
        return;
    buffer.resize(kSize);
    const int64_t size = document->FileSize();
    start = offset - kBefore;
    if (start + kSize > size)
        start = size - kSize;
    if (start < 0)
        start = 0;
    loaded = static_cast<int32_t>(document->ReadFileBytes(start, buffer.data(), kSize));
}

// --- The pane.

const MessageEntry kDumpPaneEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_SIZE),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PAINT),
    Cracked(WM_GETDLGCODE),
    Cracked(WM_SETFOCUS),
    Cracked(WM_KILLFOCUS),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_MOUSEMOVE),
    Cracked(WM_LBUTTONUP),
    OnMessage(WM_CAPTURECHANGED, Route<&FileDumpPane::OnCaptureChanged>),
    OnMessage(WM_CANCELMODE, Route<&FileDumpPane::OnCancelMode>),
    Cracked(WM_VSCROLL),
    Cracked(WM_MOUSEWHEEL),
    Cracked(WM_KEYDOWN),
    Cracked(WM_IDLEUPDATECMDUI),
    OnMessage(kMsgAttach, Route<&FileDumpPane::OnAttach>),
    OnMessage(kMsgSegmentsChanged, Route<&FileDumpPane::OnSegmentsChanged>),
    OnMessage(kMsgCursorAddress, Route<&FileDumpPane::OnCursorAddress>),
    OnMessage(kMsgSelectionChanged, Route<&FileDumpPane::OnSelectionChanged>),
    OnMessage(kMsgOptions, Route<&FileDumpPane::OnOptions>),
    OnCommand(FileDumpPane::kCmdAddressMode, Route<&FileDumpPane::OnAddressMode>),
    OnCommand(FileDumpPane::kCmdTextHex, Route<&FileDumpPane::OnTextHex>),
};
const MessageMap FileDumpPane::kMessageMap{ &CWnd::kMessageMap, kDumpPaneEntries };

FileDumpPane::FileDumpPane() {
    CreateFontPoints(dumpFont, L"Consolas", 9, false, FW_NORMAL);
    CreateFontPoints(addressFont, L"Consolas", 7, false, FW_NORMAL);
    FontMetrics(dumpFont, charWidth, lineHeight);
    FontMetrics(addressFont, addressCharWidth, addressHeight);
}

FileDumpPane::~FileDumpPane() {
    if (lastFocused_ == this)
        lastFocused_ = nullptr;
}

int FileDumpPane::OnCreate(CREATESTRUCTW* cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    ModifyStyle(0, WS_CLIPCHILDREN);
    buttons.Create(this, IDB_DUMP_BUTTONS);
    buttons.commandWindow = this;
    buttons.SetHorizontal(false);
    buttons.AddPushButton(kCmdAddressMode, L"VAddress/FileOffset", true);
    buttons.AddClickButton(kCmdTextHex, L"Ascii/Hex", true);
    scroller.SetPager(new DumpScrollPager);
    scroller.CreateBarB(m_hWnd);
    return 0;
}

int64_t FileDumpPane::FileSize() const { return document ? document->FileSize() : 0; }

int FileDumpPane::ButtonEdge() const { return buttons.visible ? buttons.GetThickness() : 0; }

void FileDumpPane::OnSize(UINT, int cx, int cy) {
    {
        CClientDC dc(m_hWnd);
        buttons.Layout(0, 0, ButtonEdge(), cy, dc);
    }
    if (scroller.m_hWnd)
        scroller.MoveWindow(cx - kScrollerWidth, 0, kScrollerWidth, cy, TRUE);
    Layout();
}

void FileDumpPane::Layout() {
    if (!document || charWidth <= 0 || !m_hWnd)
        return;
    const RECT client = GetClientRect();
    const int x0 = ButtonEdge();
    const int scrollerWidth = scroller.m_hWnd && (scroller.GetStyle() & WS_VISIBLE) ? kScrollerWidth : 0;
    // The column holds offsets too, which may need more digits than the addresses.
    const int digits = std::max(addressDigits, offsetDigits);
    const int width = client.right - (mode == kBoth ? 9 : 0) - x0 - scrollerWidth - digits * addressCharWidth - 12;
    const int cell = mode == kTextOnly ? charWidth : mode == kHexOnly ? 2 * charWidth + 2 : 3 * charWidth + 2;
    bytesPerRow = std::max(width / cell, 1);
    rows = std::max<int32_t>((client.bottom + 2) / std::max(lineHeight, 1), 0);
    hexArea = RECT{ 0, 0, 0, 0 };
    textArea = RECT{ 0, 0, 0, 0 };
    const int left = digits * addressCharWidth + x0 + 12;
    int right = left;
    if (mode != kTextOnly) {
        right = left + (charWidth + 1) * 2 * bytesPerRow;
        hexArea = RECT{ left, 0, right, rows * lineHeight };
    }
    if (mode != kHexOnly) {
        const int textLeft = mode == kBoth ? right + 9 : left;
        textArea = RECT{ textLeft, 0, textLeft + charWidth * bytesPerRow, rows * lineHeight };
    }
    const int64_t position = scroller.top;
    // The phase of a negative position (the first row above offset 0) counts from below, not toward 0.
    const int64_t phase = (position % bytesPerRow + bytesPerRow) % bytesPerRow;
    scroller.lineStep = bytesPerRow;
    scroller.page = bytesPerRow * std::max(rows, 1);
    scroller.page64 = scroller.page;
    scroller.rangeStart = phase == 0 ? 0 : phase - bytesPerRow;
    const int64_t rest = FileSize() - scroller.rangeStart;
    scroller.rangeEnd = scroller.rangeStart + (rest + bytesPerRow - 1) / bytesPerRow * bytesPerRow;
    scroller.NormalizePosition();
    if (scroller.m_hWnd)
        scroller.UpdateThumb();
}

void FileDumpPane::SetPosition(int64_t position) {
    scroller.top = position;
    Layout();
    Invalidate();
}

int64_t FileDumpPane::HitTest(POINT p) const {
    if (p.y < 0 || p.y >= rows * lineHeight || lineHeight <= 0)
        return -1;
    int column = -1;
    if (p.x >= hexArea.left && p.x < hexArea.right)
        column = (p.x - hexArea.left) / (2 * charWidth + 2);
    else if (p.x >= textArea.left && p.x < textArea.right && charWidth > 0)
        column = (p.x - textArea.left) / charWidth;
    if (column < 0 || column >= bytesPerRow)
        return -1;
    const int64_t offset = scroller.top + static_cast<int64_t>(p.y / lineHeight) * bytesPerRow + column;
    return offset < 0 || offset >= FileSize() ? -1 : offset;
}

StringW FileDumpPane::TipText(POINT point) const {
    const int64_t offset = HitTest(point);
    if (offset < 0 || !document)
        return StringW();
    const int64_t address = document->OffsetToAddress(offset);
    const StringW addressText = address == -1 ? StringW(L"n/a") : HexText(address, addressDigits);
    return StringW(kFormat, L"FileOffset: %s\r\nAddress: %s", HexText(offset, addressDigits).c_str(),
                   addressText.c_str());
}

INT_PTR FileDumpPane::OnToolHitTest(POINT point, TOOLINFOW* info) const {
    const int64_t offset = HitTest(point);
    if (offset < 0 || !info)
        return -1;
    const StringW text = TipText(point);
    info->hwnd = m_hWnd;
    info->uId = static_cast<UINT_PTR>(offset);
    // The tool is the byte's cell, so the tip stays while the pointer moves within the byte.
    const bool hex = point.x >= hexArea.left && point.x < hexArea.right;
    const int left = hex ? hexArea.left : textArea.left;
    const int width = hex ? 2 * charWidth + 2 : charWidth;
    const int x = left + (point.x - left) / width * width;
    const int y = point.y / lineHeight * lineHeight;
    info->rect = RECT{ x, y, x + width, y + lineHeight };
    info->lpszText = WcsDupN(text.Length() + 1, text.c_str());
    return static_cast<INT_PTR>(offset);
}

// --- Painting.

BOOL FileDumpPane::OnEraseBkgnd(HDC) { return TRUE; }

void FileDumpPane::DrawByteCell(CDC& dc, int64_t offset, int x, int y, bool hex, uint8_t byte) {
    const int64_t address = document->OffsetToAddress(offset);
    COLORREF back = backColor;
    if (markFirst >= 0 && offset >= markFirst && offset < markEnd)
        back = markedColor;
    else if (address != -1 && document->finds.IsHexHitAt(address))
        back = foundColor;
    const int width = hex ? 2 * charWidth + 2 : charWidth;
    if (back != backColor)
        dc.FillSolidRect(RECT{ x, y, x + width, y + lineHeight }, back);
    dc.SetTextColor(address != -1 ? textColor : noAddressColor);
    if (hex) {
        static const wchar_t kDigits[] = L"0123456789ABCDEF";
        RECT high{ x, y, x + charWidth - 1, y + lineHeight };
        RECT low{ high.right, y, high.right + charWidth + 3, y + lineHeight };
        dc.ExtTextOut(high.left, y + lineHeight, 0, &high, &kDigits[byte >> 4], 1);
        dc.ExtTextOut(low.left, y + lineHeight, 0, &low, &kDigits[byte & 15], 1);
    } else {
        // Control characters have no glyph: they show as '.', as in the dump lines of the page.
        wchar_t c = L'.';
        const char narrow = static_cast<char>(byte);
        // The document's own string code page: the status bar changes it without new option sets.
        const bool oem = document && document->options.file.stringCodepage.index == 1;   // "ANSI|OEM|UTF8"
        if (byte >= 32 && !::MultiByteToWideChar(oem ? CP_OEMCP : CP_ACP, 0, &narrow, 1, &c, 1))
            c = L'.';
        if (byte < 32)
            c = L'.';
        RECT cell{ x, y, x + charWidth, y + lineHeight };
        dc.ExtTextOut(x, y + lineHeight, 0, &cell, &c, 1);
    }
    if (offset == fileMark) {
        const int right = hex ? x + width - 2 : x + width;
        DrawBrackets(dc, x, y + 1, right, y + lineHeight - 1, bracketColor);
    }
}

void FileDumpPane::PaintRows(CDC& dc) {
    const RECT client = GetClientRect();
    const int x0 = ButtonEdge();
    dc.FillSolidRect(RECT{ x0, 0, client.right, client.bottom }, backColor);
    if (!document || charWidth <= 0)
        return;
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const UINT oldAlign = ::SetTextAlign(dc, TA_BOTTOM | TA_LEFT);
    const int64_t size = FileSize();
    const int columnWidth = std::max(addressDigits, offsetDigits) * addressCharWidth + 3;
    const bool focused = ::GetFocus() == m_hWnd;
    for (int i = 0; i < rows; ++i) {
        const int64_t offset = scroller.top + static_cast<int64_t>(i) * bytesPerRow;
        const int y = i * lineHeight;
        if (offset >= size)
            break;
        if (offset >= 0) {
            StringW label;
            if (addressMode) {
                const int64_t address = document->OffsetToAddress(offset);
                if (address != -1)
                    label = HexText(address, addressDigits);
            } else {
                label = HexText(offset, offsetDigits);
            }
            SelectGdi keep(dc, addressFont.GetSafeHandle());
            ::SetTextAlign(dc, TA_BOTTOM | TA_RIGHT);
            dc.SetTextColor(focused ? addressColor : textColor);
            dc.ExtTextOut(x0 + columnWidth, y + lineHeight, 0, nullptr, label.c_str(), label.Length());
            ::SetTextAlign(dc, TA_BOTTOM | TA_LEFT);
        }
        SelectGdi keep(dc, dumpFont.GetSafeHandle());
        const int count = static_cast<int>(std::min<int64_t>(bytesPerRow, size - offset));
        for (int b = 0; b < count; ++b) {
            const int64_t at = offset + b;
            if (at < 0)
                continue;
            const uint8_t byte = reader.Ensure(at);
            if (mode != kTextOnly)
                DrawByteCell(dc, at, hexArea.left + b * (2 * charWidth + 2), y, true, byte);
            if (mode != kHexOnly)
                DrawByteCell(dc, at, textArea.left + b * charWidth, y, false, byte);
        }
    }
    ::SetTextAlign(dc, oldAlign);
    dc.SetBkMode(oldMode);
}

void FileDumpPane::OnPaint() {
    CPaintDC paint(m_hWnd);
    const RECT client = GetClientRect();
    const int w = std::max<int>(client.right, 1);
    const int h = std::max<int>(client.bottom, 1);
    shadow_.GrowBitmap(paint, w, h);
    SelectGdi page(shadow_, shadow_.bitmap.GetSafeHandle());
    buttons.PaintBackground(shadow_, RECT{ 0, 0, ButtonEdge(), h });
    PaintRows(shadow_);
    const int scrollerWidth = scroller.m_hWnd && (scroller.GetStyle() & WS_VISIBLE) ? kScrollerWidth : 0;
    paint.BitBlt(0, 0, w - scrollerWidth, h, shadow_, 0, 0);
}

// --- Focus, keys, mouse and scrolling.

UINT FileDumpPane::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

void FileDumpPane::OnSetFocus(HWND) {
    // The tab strip around the pane shows whether the focus is inside.
    if (HWND parent = GetParent())
        ::InvalidateRect(parent, nullptr, FALSE);
    Invalidate();
}

void FileDumpPane::OnKillFocus(HWND) {
    lastFocused_ = this;
    if (HWND parent = GetParent())
        ::InvalidateRect(parent, nullptr, FALSE);
    Invalidate();
}

void FileDumpPane::AfterScroll() {
    scroller.NormalizePosition();
    if (scroller.m_hWnd) {
        scroller.UpdateThumb();
        scroller.Invalidate();
    }
    Invalidate();
}

void FileDumpPane::OnVScroll(UINT code, UINT position, HWND) {
    scroller.Scroll(code, static_cast<int16_t>(position));
    AfterScroll();
}

BOOL FileDumpPane::OnMouseWheel(UINT, short delta, POINT) {
    for (int n = std::abs(delta) / WHEEL_DELTA; n > 0; --n)
        scroller.Scroll(delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    AfterScroll();
    return TRUE;
}

void FileDumpPane::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    const bool ctrl = KeyDown(VK_CONTROL);
    switch (key) {
    case VK_PRIOR: scroller.Scroll(SB_PAGEUP, 0); break;
    case VK_NEXT: scroller.Scroll(SB_PAGEDOWN, 0); break;
    case VK_HOME:
        if (!ctrl)
            return;
        scroller.Scroll(SB_TOP, 0);
        break;
    case VK_END:
        if (!ctrl)
            return;
        scroller.Scroll(SB_BOTTOM, 0);
        break;
    case VK_UP: scroller.Scroll(SB_LINEUP, 0); break;
    case VK_DOWN: scroller.Scroll(SB_LINEDOWN, 0); break;
    case VK_LEFT:
    case VK_RIGHT:
        if (!ctrl)
            return;
        scroller.top += key == VK_LEFT ? 1 : -1;
        Layout();
        break;
    default: CWnd::OnKeyDown(key, repeat, flags); return;
    }
    AfterScroll();
}

void FileDumpPane::OnLButtonDown(UINT flags, POINT point) {
    SetFocus();
    const int64_t offset = HitTest(point);
    if (offset < 0 || !document)
        return;
    const int64_t address = document->OffsetToAddress(offset);
    if (address == -1)
        return;
    document->navigator.GotoAddress(address);
    fileMark = offset;
    Invalidate();
    if (!(flags & MK_SHIFT))
        return;
    const bool inHex = point.x >= hexArea.left && point.x < hexArea.right;
    const RECT area = inHex ? hexArea : textArea;
    SetCapture();
    dragPoint = point;
    dragPosition = scroller.top;
    dragInHex = inHex;
    RECT screen = area;
    ClientToScreen(&screen);
    dragClip_.Confine(screen);
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
}

void FileDumpPane::OnMouseMove(UINT, POINT point) {
    if (!HasCapture())
        return;
    const int cell = CellWidth(dragInHex);
    const int dx = cell > 0 ? (point.x - dragPoint.x) / cell : 0;
    if (dx == 0)
        return;
    scroller.top = dragPosition - dx;
    Layout();
    Invalidate();
}

void FileDumpPane::OnLButtonUp(UINT, POINT) {
    dragClip_.Release();
    if (HasCapture())
        ::ReleaseCapture();
}

// A Shift-drag ends when the capture goes elsewhere (a menu, a dialog) or the mode is cancelled.
LRESULT FileDumpPane::OnCaptureChanged(WPARAM, LPARAM) {
    dragClip_.Release();
    return 0;
}

LRESULT FileDumpPane::OnCancelMode(WPARAM, LPARAM) {
    dragClip_.Release();
    if (HasCapture())
        ::ReleaseCapture();
    return 0;
}

void FileDumpPane::OnIdleUpdateCmdUI() { buttons.Check(kCmdAddressMode, addressMode != 0); }

// --- Messages.

LRESULT FileDumpPane::OnAttach(WPARAM attached, LPARAM doc) {
    if (attached) {
        document = reinterpret_cast<FileParseThread*>(doc);
        scroller.top = 0;
        addressDigits = offsetDigits = HexAddressWidth(static_cast<uint64_t>(FileSize()));
    } else {
        document = nullptr;
    }
    reader.document = document;
    reader.Forget();
    Layout();
    Invalidate();
    return 0;
}

LRESULT FileDumpPane::OnSegmentsChanged(WPARAM flags, LPARAM) {
    if (document && (flags & 0x40000001u) == 0x40000001u) {
        addressDigits = std::max(document->addressWidth, 1);
        Layout();
        Invalidate();
    }
    return 0;
}

LRESULT FileDumpPane::OnCursorAddress(WPARAM, LPARAM) {
    if (::GetFocus() == m_hWnd || !document)
        return 0;
    int64_t cursor = -1;
    if (FilePane* file = dynamic_cast<FilePane*>(dynamic_cast<CWnd*>(document->Host())))
        if (BFileMainPanes* main = file->MainPanes())
            cursor = main->CursorAddress();
    fileMark = cursor == -1 ? -1 : document->AddressToOffset(cursor);
    if (fileMark >= 0 && (fileMark < scroller.top || fileMark >= scroller.top + scroller.page)) {
        scroller.top = fileMark;
        for (int i = rows / 3; i > 0 && scroller.top >= bytesPerRow; --i)
            scroller.top -= bytesPerRow;
        Layout();
    }
    Invalidate();
    return 0;
}

LRESULT FileDumpPane::OnSelectionChanged(WPARAM extend, LPARAM pane) {
    markFirst = markEnd = -1;
    auto* diza = reinterpret_cast<FileDizaPane*>(pane);
    if (extend && diza && document) {
        SectionLock lock(document->FileLock());
        BlockSelection& s = diza->Page().selection;
        if (s.state != BlockSelection::kNone) {
            const int64_t lower = s.Start(document);
            const int64_t first = document->AddressToOffset(lower);
            const int64_t length = s.Length(document);
            if (first >= 0 && length > 0) {
                const int64_t last = document->AddressToOffset(lower + length - 1);
                if (last >= 0) {
                    markFirst = first;
                    markEnd = last + 1;
                }
            }
        }
    }
    Invalidate();
    return 0;
}

LRESULT FileDumpPane::OnOptions(WPARAM what, LPARAM set) {
    auto* options = reinterpret_cast<Options*>(set);
    if (what != 1 || !options)
        return 0;
    const PFont& f = options->fonts.dumpFont;
    CreateFontPoints(dumpFont, f.face.c_str(), f.size, f.italic, f.bold ? FW_BOLD : FW_NORMAL);
    CreateFontPoints(addressFont, f.face.c_str(), std::max(f.size - 2, 1), f.italic, f.bold ? FW_BOLD : FW_NORMAL);
    FontMetrics(dumpFont, charWidth, lineHeight);
    FontMetrics(addressFont, addressCharWidth, addressHeight);
    const OptionsUIColors& u = options->uiColors;
    const OptionsCodeColors& c = options->codeColors;
    backColor = u.dumpBk.value;
    textColor = u.dumpTxt.value;
    noAddressColor = u.dumpNoVaddress.value;
    foundColor = c.foundBk.value;
    markedColor = c.selectLinesBk.value;
    addressColor = c.addressTxt.value;
    bracketColor = c.codeClickAddress.value;
    scroller.lineHeight = std::max(lineHeight, 1);
    Layout();
    Invalidate();
    return 0;
}

void FileDumpPane::OnAddressMode() {
    addressMode = !addressMode;
    buttons.Check(kCmdAddressMode, addressMode != 0);
    Invalidate();
}

void FileDumpPane::OnTextHex() {
    mode = mode == kBoth ? kHexOnly : mode == kHexOnly ? kTextOnly : kBoth;
    Layout();
    Invalidate();
}
