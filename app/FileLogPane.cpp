#include "app/FileLogPane.h"

#include "app/FileDizaPane.h"
#include "app/FilePane.h"
#include "core/SectionLock.h"
#include "core/SystemServices.h"
#include "document/FileParseThread.h"
#include "options/Options.h"
#include "toolkit/BButton.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ZoneText.h"

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
    dragClip.Confine(area);
}

void FileLogPane::OnLButtonUp(UINT flags, POINT point) {
    dragClip.Release();
    BLogPane::OnLButtonUp(flags, point);
}

void FileLogPane::OnZoneDblClick(BZone* zone, int row, int x) {
    BLogPane::OnZoneDblClick(zone, row, x);
    BZoneChar* chars = dynamic_cast<BZoneChar*>(zone);
    if (!document || !chars || row < 0)
        return;
    StringW word;
    {
        SectionLock lock(GetDrawLock());
        word = chars->WordAt(this, row, x);
    }
    // The disassembly pane's clickable text: a name or hex address to go to, Shift finds, Ctrl copies.
    FilePane* file = nullptr;
    for (HWND w = ::GetParent(m_hWnd); w && !file; w = ::GetParent(w))
        file = dynamic_cast<FilePane*>(CWnd::FromHandle(w));
    if (FileDizaPane* diza = file ? dynamic_cast<FileDizaPane*>(file->DizaWindow()) : nullptr)
        diza->ClickableText(word, ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0);
}
