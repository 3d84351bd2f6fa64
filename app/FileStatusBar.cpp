#include "app/FileStatusBar.h"

#include "app/AppMessages.h"
#include "app/FilePane.h"
#include "core/SectionLock.h"
#include "document/BResultDiza.h"
#include "document/BlockSelection.h"
#include "document/FileParseThread.h"
#include "document/ItemStores.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "toolkit/GuiMetrics.h"

#include <cstring>

namespace {

constexpr int kParseColour = 25;
constexpr int kScanColour = 26;
constexpr int kFindColour = 27;
constexpr int kCellCount = 6;

int DecimalDigits(int64_t value) {
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

}  // namespace

const MessageEntry FileStatusBar::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_SIZE),
    OnMessage(kMsgAttach, Route<&FileStatusBar::OnAttach>),
    OnMessage(kMsgOptions, Route<&FileStatusBar::OnOptions>),
    OnMessage(kMsgSegmentsChanged, Route<&FileStatusBar::OnSegmentsChanged>),
    OnMessage(kMsgParsing, Route<&FileStatusBar::OnParsing>),
    OnMessage(kMsgRefersScan, Route<&FileStatusBar::OnRefersScan>),
    OnMessage(kMsgStringScan, Route<&FileStatusBar::OnStringScan>),
    OnMessage(kMsgFindJob, Route<&FileStatusBar::OnFindJob>),
    OnMessage(kMsgCursorAddress, Route<&FileStatusBar::OnCursorAddress>),
    OnMessage(kMsgSelectionChanged, Route<&FileStatusBar::OnSelection>),
};
const MessageMap FileStatusBar::kMessageMap{ &BStatusBar::kMessageMap, kEntries };

FileStatusBar::FileStatusBar() : BStatusBar(kCellCount) {
    const int centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    for (int i = kDataOrder; i <= kCursor; ++i)
        cells[i].flags = centred;
    side = 2;
}

void FileStatusBar::LampColours(bool parsing, bool refers, bool strings, bool find1, bool find2, int out[4]) {
    if (parsing) {
        for (int i = 0; i < 4; ++i)
            out[i] = kParseColour;
        return;
    }
    out[0] = refers ? kScanColour : -1;
    out[1] = strings ? kScanColour : -1;
    out[2] = find1 ? kFindColour : -1;
    out[3] = find2 ? kFindColour : -1;
}

StringW FileStatusBar::SelectionText(const wchar_t* lowerEnd, int64_t length) {
    const bool millions = length >= 100000000;
    const uint32_t shown = static_cast<uint32_t>(millions ? length / 1000000 : length);
    return StringW(kFormat, L"%s/%u%s", lowerEnd ? lowerEnd : L"", shown, millions ? L"M" : L"");
}

const wchar_t* FileStatusBar::LampTip(int offset) {
    static const wchar_t* const kTips[4] = { L"Refers scan", L"Stringz scan", L"Find1", L"Find2" };
    if (offset < kLampLeft)
        return nullptr;
    const int index = (offset - kLampLeft) / (kLampBox + kLampGap);
    return index >= 0 && index < 4 ? kTips[index] : nullptr;
}

int FileStatusBar::OnCreate(CREATESTRUCTW* cs) {
    if (BStatusBar::OnCreate(cs) == -1)
        return -1;
    if (!font.GetSafeHandle())
        CreateFontPoints(font, L"Helv", 10, false, FW_NORMAL);
    EnableToolTips(true);
    MeasureCells();
    return 0;
}

void FileStatusBar::MeasureCells() {
    if (!m_hWnd)
        return;
    const RECT client = GetClientRect();
    int digits = 8;
    int sizeDigits = 1;
    if (document) {
        if (document->addressWidth > 0)
            digits = document->addressWidth;
        sizeDigits = DecimalDigits(document->FileSize());
    }
    StringW sampleA, sampleB;
    sampleA.assign(static_cast<size_t>(digits), L'D');
    sampleB.assign(static_cast<size_t>(sizeDigits), L'8');
    const StringW selection(kFormat, L"%s/%s", sampleA.c_str(), sampleB.c_str());
    HDC dc = ::GetDC(m_hWnd);
    auto width = [&](const StatusCell& cell, const wchar_t* sample) {
        return cell.IconWidth() + TextExtentInFont(dc, sample, font).cx + 6;
    };
    cells[kLamps].width = cells[kLamps].IconWidth() + 4 * kLampBox + 9;
    cells[kDataOrder].width = width(cells[kDataOrder], L"DD");
    cells[kCodepage].width = width(cells[kCodepage], L"DDDD");
    cells[kSelection].width = width(cells[kSelection], selection.c_str());
    cells[kCursor].width = width(cells[kCursor], sampleA.c_str());
    ::ReleaseDC(m_hWnd, dc);
    if (client.right > 0)
        LayoutCells(client.right, client.bottom);
}

void FileStatusBar::OnSize(UINT type, int cx, int cy) {
    if (cx > 0)
        MeasureCells();
    BStatusBar::OnSize(type, cx, cy);
}

void FileStatusBar::PaintExtra(CDC& dc, const RECT& client) {
    int colours[4];
    LampColours(parsingLamp, refersLamp, stringsLamp, find1Lamp, find2Lamp, colours);
    const int top = client.top + (client.bottom - client.top - kLampBox) / 2;
    int x = cells[kLamps].left + kLampLeft;
    for (int i = 0; i < 4; ++i, x += kLampBox + kLampGap) {
        if (colours[i] < 0)
            continue;
        const RECT box{ x, top, x + kLampBox, top + kLampBox };
        dc.FillSolidRect(box, ThemeColor(colours[i]));
    }
}

int FileStatusBar::GetTipText(TOOLINFOW* info, int index, int offset) const {
    if (index != kLamps)
        return BStatusBar::GetTipText(info, index, offset);
    info->uId = static_cast<UINT_PTR>(index);
    const wchar_t* tip = LampTip(offset);
    const size_t n = tip ? std::wcslen(tip) : 0;
    auto* copy = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
    if (copy) {
        if (n)
            std::wmemcpy(copy, tip, n);
        copy[n] = 0;
    }
    info->lpszText = copy;
    return 1;
}

void FileStatusBar::ClearCell(int index) {
    BStatusBar::ClearCell(index);
    if (index >= 0 && index < static_cast<int>(cells.size()))
        cells[index].tipText.clear();
}

void FileStatusBar::TakeFileOptions(const Options& options) {
    cells[kDataOrder].text = options.file.dataOrder.ToText();
    cells[kCodepage].text = options.file.stringCodepage.ToText();
    cells[kDataOrder].tipText = cells[kDataOrder].text;
    cells[kCodepage].tipText = cells[kCodepage].text;
}

void FileStatusBar::RepaintNow() {
    if (!m_hWnd)
        return;
    Invalidate(false);
    UpdateWindowOnScreen();
}

LRESULT FileStatusBar::OnAttach(WPARAM attached, LPARAM doc) {
    if (attached == 1) {
        document = reinterpret_cast<FileParseThread*>(doc);
        if (document)
            TakeFileOptions(document->options);
        MeasureCells();
    } else {
        document = nullptr;
        ClearCells();
        for (StatusCell& cell : cells)
            cell.tipText.clear();
        parsingLamp = refersLamp = stringsLamp = find1Lamp = find2Lamp = false;
        cursorAddress = -1;
    }
    RepaintNow();
    return 0;
}

LRESULT FileStatusBar::OnOptions(WPARAM what, LPARAM lparam) {
    const Options* options = reinterpret_cast<const Options*>(lparam);
    if (what != 1 || !options)
        return 0;
    LOGFONTW lf = options->fonts.statusFont.GetLogFont();
    CreateFontPoints(font, lf.lfFaceName, options->fonts.statusFont.size, options->fonts.statusFont.italic,
                     options->fonts.statusFont.bold ? FW_BOLD : FW_NORMAL);
    highlightColor = options->uiColors.statusbarHighlight.value;
    highlightBack = highlightColor;
    // An attached file shows its own byte order and code page, which its open request chose.
    TakeFileOptions(document ? document->options : *options);
    MeasureCells();
    if (m_hWnd)
        Invalidate(false);
    return 0;
}

LRESULT FileStatusBar::OnSegmentsChanged(WPARAM flags, LPARAM) {
    if ((flags & 0xFF) == 1 && (flags & kSegmentsWiderAddress))
        MeasureCells();
    return 0;
}

LRESULT FileStatusBar::OnParsing(WPARAM on, LPARAM) {
    parsingLamp = on == 1;
    RepaintNow();
    return 0;
}

LRESULT FileStatusBar::OnRefersScan(WPARAM on, LPARAM) {
    refersLamp = on == 1;
    RepaintNow();
    return 0;
}

LRESULT FileStatusBar::OnStringScan(WPARAM on, LPARAM) {
    stringsLamp = on == 1;
    RepaintNow();
    return 0;
}

LRESULT FileStatusBar::OnFindJob(WPARAM on, LPARAM lparam) {
    const FindResult* result = reinterpret_cast<const FindResult*>(lparam);
    if (!result)
        return 0;
    const uint32_t pane = result->parameters.flags & 0xF0;
    if (pane == 0x10)
        find1Lamp = on == 1;
    else if (pane == 0x20)
        find2Lamp = on == 1;
    RepaintNow();
    return 0;
}

LRESULT FileStatusBar::OnCursorAddress(WPARAM valid, LPARAM) {
    if (!document)
        return 0;
    {
        SectionLock lock(document->FileLock());
        cursorAddress = -1;
        if (valid) {
            FilePane* pane = dynamic_cast<FilePane*>(CWnd::FromHandle(GetParent()));
            if (pane && pane->MainPanes())
                cursorAddress = pane->MainPanes()->CursorAddress();
        }
        cells[kCursor].text = document->AddressText(cursorAddress);
        cells[kCursor].tipText = cells[kCursor].text;
    }
    RepaintNow();
    return 0;
}

LRESULT FileStatusBar::OnSelection(WPARAM follows, LPARAM) {
    if (!document)
        return 0;
    {
        SectionLock lock(document->FileLock());
        StringW text;
        BDizaView* view = ViewOf(document);
        if (follows && view && view->Selection().state != BlockSelection::kNone) {
            BlockSelection& selection = view->Selection();
            const int64_t length = selection.Length(document);
            if (length >= 0)
                text = SelectionText(document->AddressText(selection.Start(document)).c_str(), length);
        }
        cells[kSelection].text = text;
        cells[kSelection].tipText = text;
    }
    RepaintNow();
    return 0;
}
