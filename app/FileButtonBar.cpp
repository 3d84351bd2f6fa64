#include "app/FileButtonBar.h"

#include "classlib/DC.h"
#include "options/BColorTheme.h"
#include "toolkit/BButton.h"

namespace {

struct ButtonRow {
    char kind;   // 's' separator, 'c' click, 'p' push
    UINT id;
    const wchar_t* tip;
};

constexpr ButtonRow kFileButtons[] = {
    { 's', 0, nullptr },
    { 'c', 301, L"File close" },
    { 's', 0, nullptr },
    { 'p', 220, L"File pane side" },
    { 'p', 230, L"File pane low" },
};

constexpr ButtonRow kToolButtons[] = {
    { 's', 0, nullptr },
    { 'c', 311, L"File goto" },
    { 'c', 312, L"File go back" },
    { 's', 0, nullptr },
    { 'c', 321, L"Bokmark prev" },
    { 'c', 323, L"Bokmark next" },
    { 's', 0, nullptr },
    { 'c', 331, L"Find prev" },
    { 'c', 333, L"Find" },
    { 'c', 332, L"Find next" },
};

constexpr ButtonRow kMakerButtons[] = {
    { 's', 0, nullptr },
    { 'c', 351, L"Name" },
    { 'c', 352, L"Code (Ctrl+Shift+C: forced code start)" },
    { 'c', 354, L"Byte" },
    { 'c', 355, L"Word" },
    { 'c', 356, L"Dword" },
    { 'c', 357, L"Qword" },
    { 'c', 360, L"Dump" },
    { 'c', 361, L"Byteline" },
    { 'c', 362, L"Asciiz" },
    { 'c', 363, L"Unicode" },
    { 'c', 371, L"Comment line" },
    { 'c', 372, L"Comment on line" },
};

template <size_t N>
void MakeRow(BButtonParade& row, CWnd* owner, UINT bitmapId, const ButtonRow (&buttons)[N]) {
    row.spacing = FileButtonBar::kSpacing;
    row.Create(owner, bitmapId);
    for (const ButtonRow& b : buttons) {
        if (b.kind == 's')
            row.AddSeparator();
        else if (b.kind == 'p')
            row.AddPushButton(b.id, b.tip, true);
        else
            row.AddClickButton(b.id, b.tip, true);
    }
}

}  // namespace

const MessageEntry FileButtonBar::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PAINT),
    Cracked(WM_SIZE),
};
const MessageMap FileButtonBar::kMessageMap{ &BPane::kMessageMap, kEntries };

FileButtonBar::FileButtonBar() : BPane(0) { side = 0; }

int FileButtonBar::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1)
        return -1;
    MakeRow(fileRow, this, kIdFileRow, kFileButtons);
    MakeRow(toolRow, this, kIdToolRow, kToolButtons);
    MakeRow(makerRow, this, kIdMakerRow, kMakerButtons);
    return 0;
}

int FileButtonBar::GetExtent() const { return fileRow.GetThickness(); }

void FileButtonBar::LayoutRows() {
    if (!m_hWnd)
        return;
    const RECT c = GetClientRect();
    int left = c.left;
    for (BButtonParade* row : { &fileRow, &toolRow, &makerRow }) {
        const int end = row->Layout(left, c.top, c.right, c.bottom, nullptr);
        if (end > left)
            left = end;
    }
}

void FileButtonBar::OnSize(UINT, int, int) { LayoutRows(); }

BOOL FileButtonBar::OnEraseBkgnd(HDC dc) {
    const RECT c = GetClientRect();
    ::SetBkColor(dc, ThemeColor(1));
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &c, nullptr, 0, nullptr);
    return TRUE;
}

void FileButtonBar::OnPaint() {
    CPaintDC paint(m_hWnd);
    LayoutRows();
}

BButton* FileButtonBar::FindButton(UINT id) const {
    for (const BButtonParade* row : { &fileRow, &toolRow, &makerRow })
        if (BButton* b = row->FindButton(id))
            return b;
    return nullptr;
}

void FileButtonBar::EnableEditRows(bool enable) {
    toolRow.SwitchOn(enable);
    makerRow.SwitchOn(enable);
}

void FileButtonBar::SetPressed(UINT id, bool pressed) {
    for (BButtonParade* row : { &fileRow, &toolRow, &makerRow })
        if (row->FindButton(id))
            row->Check(id, pressed);
}

void FileButtonBar::SetEnabled(UINT id, bool enable) {
    for (BButtonParade* row : { &fileRow, &toolRow, &makerRow })
        if (row->FindButton(id))
            row->Enable(id, enable);
}

bool FileButtonBar::IsEnabled(UINT id) const {
    for (const BButtonParade* row : { &fileRow, &toolRow, &makerRow })
        if (row->FindButton(id))
            return row->IsButtonEnabled(id) && row->switchedOn;
    return false;
}
