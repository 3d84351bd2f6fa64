#pragma once
// The hex dump of a whole file by file offset: rows of an address column, a hex part, a text part or
// both. It follows the disassembly view (the cursor byte is bracketed and brought into view, the marked
// block is shaded) and leads it (a click on a byte goes to that byte's address). It reads the file
// through its own 256 KB window. Lives in the "Dump" tab of the low pane (control id 242).
//
//   auto* dump = new FileDumpPane;
//   dump->CreateEx(0, nullptr, L"", WS_CHILD, r, longTab, 242);

#include "classlib/CWnd.h"
#include "classlib/CursorIcon.h"
#include "classlib/GdiObject.h"
#include "core/StringW.h"
#include "toolkit/BButtonParade.h"
#include "toolkit/BScroller.h"
#include "toolkit/HShadowDC.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class FileParseThread;
class Options;

// The bytes of the file around an offset, read through the document.
class DumpReadWindow {
public:
    static constexpr int32_t kSize = 0x40000;
    static constexpr int32_t kBefore = 0x15555;

    // The byte at the offset; 0 outside the file.
    uint8_t Ensure(int64_t offset);
    void Reload(int64_t offset);
    void Forget() { loaded = 0; }

    FileParseThread* document = nullptr;
    std::vector<uint8_t> buffer;
    int64_t start = 0;
    int32_t loaded = 0;
};

class FileDumpPane : public CWnd {
public:
    static constexpr UINT kCmdAddressMode = 411;
    static constexpr UINT kCmdTextHex = 412;
    enum Mode : int { kHexOnly = 1, kTextOnly = 2, kBoth = 3 };

    FileDumpPane();
    ~FileDumpPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // Rows, bytes per row, the areas and the scroller's range from the size, fonts and mode.
    void Layout();
    // The file offset under a client point; -1 outside the hex and text areas or the file.
    int64_t HitTest(POINT point) const;
    // "FileOffset: %s\r\nAddress: %s" for the offset under the point; empty when none.
    StringW TipText(POINT point) const;
    int64_t Position() const { return scroller.top; }
    void SetPosition(int64_t position);
    int64_t FileSize() const;
    static FileDumpPane* LastFocused() { return lastFocused_; }

    int OnCreate(CREATESTRUCTW* cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    UINT OnGetDlgCode() override;
    void OnSetFocus(HWND previous) override;
    void OnKillFocus(HWND next) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnCancelMode(WPARAM, LPARAM);
    void OnVScroll(UINT code, UINT position, HWND bar) override;
    BOOL OnMouseWheel(UINT flags, short delta, POINT screenPoint) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnIdleUpdateCmdUI() override;
    INT_PTR OnToolHitTest(POINT point, TOOLINFOW* info) const override;
    LRESULT OnAttach(WPARAM attached, LPARAM document);
    LRESULT OnSegmentsChanged(WPARAM flags, LPARAM);
    LRESULT OnCursorAddress(WPARAM valid, LPARAM);
    LRESULT OnSelectionChanged(WPARAM extend, LPARAM pane);
    LRESULT OnOptions(WPARAM what, LPARAM options);
    void OnAddressMode();
    void OnTextHex();

    // Draws the rows (without the button row) into a DC of the client's size.
    void PaintRows(CDC& dc);

    BButtonParade buttons;
    VScroller scroller;
    DumpReadWindow reader;
    CFont dumpFont;
    CFont addressFont;
    int32_t charWidth = 0;
    int32_t lineHeight = 0;
    int32_t addressCharWidth = 0;
    int32_t addressHeight = 0;
    FileParseThread* document = nullptr;
    int32_t mode = kBoth;
    int32_t addressMode = 0;   // 0 file offsets, 1 addresses
    int32_t addressDigits = 8;
    int32_t offsetDigits = 8;
    int32_t rows = 0;
    int32_t bytesPerRow = 1;
    int64_t fileMark = -1;
    int64_t markFirst = -1;
    int64_t markEnd = -1;
    RECT hexArea{ 0, 0, 0, 0 };
    RECT textArea{ 0, 0, 0, 0 };
    POINT dragPoint{ 0, 0 };
    int64_t dragPosition = 0;
    bool dragInHex = false;
    COLORREF backColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF noAddressColor = RGB(128, 128, 128);
    COLORREF foundColor = RGB(255, 255, 0);
    COLORREF markedColor = RGB(200, 220, 255);
    COLORREF addressColor = RGB(0, 0, 128);
    COLORREF bracketColor = RGB(255, 0, 0);
    HACCEL accelerators = nullptr;   // none is loaded

private:
    int ButtonEdge() const;
    int CellWidth(bool hex) const { return hex ? 2 * charWidth + 2 : charWidth; }
    void AfterScroll();
    void DrawByteCell(CDC& dc, int64_t offset, int x, int y, bool hex, uint8_t byte);

    HShadowDC shadow_;
    CursorClip dragClip_;
    static FileDumpPane* lastFocused_;
};
