#include "app/FileLogPane.h"

#include "core/NumberText.h"
#include "core/SectionLock.h"
#include "core/SystemServices.h"
#include "document/FileParseThread.h"
#include "options/Options.h"
#include "toolkit/BButton.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ZoneText.h"

#include <cwctype>

namespace {

constexpr UINT kCmdFind = 333;

bool IsHexWord(const StringW& word) {
    bool digit = false;
    for (wchar_t c : word) {
        if (c == L'`')
            continue;
        if (HexDigitValue(c) < 0)
            return false;
        digit = true;
    }
    return digit;
}

// The file window that holds the pane.
HWND FileWindowOf(HWND pane, FileParseThread* document) {
    if (!document)
        return nullptr;
    for (HWND w = ::GetParent(pane); w; w = ::GetParent(w))
        if (::GetDlgCtrlID(w) == document->Serial())
            return w;
    return nullptr;
}

}  // namespace

BOOL (WINAPI* FileLogPane::clipCursor)(const RECT*) = ::ClipCursor;

const MessageEntry FileLogPane::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_LBUTTONUP),
    Cracked(WM_IDLEUPDATECMDUI),
    OnMessage(kMsgAttach, Route<&FileLogPane::OnAttach>),
    OnCommand(kCmdCopy, Route<&FileLogPane::OnCopy>),
    OnCommand(kCmdClear, Route<&FileLogPane::OnClear>),
};
const MessageMap FileLogPane::kMessageMap{ &BLogPane::kMessageMap, kEntries };

FileLogPane::FileLogPane() : BLogPane(1 << kDefaultPower) {}

CRITICAL_SECTION* FileLogPane::GetDrawLock() { return document ? document->Log().Lock() : nullptr; }

int FileLogPane::OnCreate(CREATESTRUCTW* cs) {
    if (BLogPane::OnCreate(cs) == -1)
        return -1;
    cornerButtons.Create(this, 0);
    cornerButtons.commandWindow = this;
    cornerButtons.AddClickButton(kCmdCopy, L"Copy to clipboard", true);
    cornerButtons.AddClickButton(kCmdClear, L"Log clear", true);
    return 0;
}

bool FileLogPane::OnCmdMsg(UINT id, UINT code) {
    // The buttons are ours: enabled only while they act.
    if ((id == kCmdCopy && !CanCopy()) || (id == kCmdClear && !CanClear()))
        return id == kCmdCopy || id == kCmdClear;
    return BLogPane::OnCmdMsg(id, code);
}

void FileLogPane::OnIdleUpdateCmdUI() {
    cornerButtons.Enable(kCmdClear, CanClear());
    cornerButtons.Enable(kCmdCopy, CanCopy());
}

LRESULT FileLogPane::OnAttach(WPARAM attached, LPARAM doc) {
    if (attached == 1)
        document = reinterpret_cast<FileParseThread*>(doc);
    else if (attached == 0)
        document = nullptr;
    return 0;
}

void FileLogPane::ApplyOptions(const Options& options) {
    // The ring takes its size from the set while it holds nothing yet.
    ResizeRing(1 << options.general.logRingPower.value);
    BLogPane::ApplyOptions(options);
    CreateFontPoints(presetFont, options.fonts.logFont.face.c_str(), options.fonts.logFont.size, false, FW_NORMAL);
    if (line_ && line_->text)
        line_->text->SetPreset(1, &presetFont, options.uiColors.logLine.value);
}

void FileLogPane::OnClear() {
    {
        SectionLock lock(GetDrawLock());
        ClearLog();
    }
    OnIdleUpdateCmdUI();
}

void FileLogPane::OnCopy() {
    StringW text;
    {
        SectionLock lock(GetDrawLock());
        text = SelectedText();
    }
    if (!text.empty())
        ClipboardPutText(text.c_str(), true);
}

void FileLogPane::OnLButtonDown(UINT flags, POINT point) {
    BLogPane::OnLButtonDown(flags, point);
    RECT area;
    GetTextArea(area);
    ClientToScreen(&area);
    clipCursor(&area);
}

void FileLogPane::OnLButtonUp(UINT flags, POINT point) {
    clipCursor(nullptr);
    BLogPane::OnLButtonUp(flags, point);
}

void FileLogPane::OnZoneDblClick(BZone* zone, int row, int x) {
    BLogPane::OnZoneDblClick(zone, row, x);
    if (!document)
        return;
    StringW word;
    {
        SectionLock lock(GetDrawLock());
        BZoneChar* chars = dynamic_cast<BZoneChar*>(zone);
        const int column = chars ? ColumnAtX(zone, row, x) : -1;
        if (column < 0)
            return;
        word = BZoneChar::FindWord(chars->GetText(), column);
    }
    if (word.empty())
        return;
    if (::GetKeyState(VK_CONTROL) < 0) {
        ClipboardPutText(word.c_str(), true);
        return;
    }
    if (::GetKeyState(VK_SHIFT) < 0) {
        document->finds.parameters.text = word;
        document->finds.parameters.flags &= ~0xFu;
        if (HWND window = FileWindowOf(m_hWnd, document))
            ::SendMessageW(window, WM_COMMAND, kCmdFind, 0);
        return;
    }
    int64_t address = -1;
    if (IsHexWord(word)) {
        if (!ParseNumber(word.c_str(), address, 16))
            address = -1;
    } else {
        address = document->stores.names.AddressOf(word.c_str());
    }
    if (address != -1)
        document->navigator.ResolveAddress(address);
}
