#include "app/DFind.h"

#include "app/resources/resource.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/FindContext.h"
#include "options/BColorTheme.h"

#include <cstdlib>
#include <cwchar>

namespace {

constexpr MessageEntry kFindEntries[] = {
    Cracked(WM_PAINT),
    Cracked(WM_DESTROY),
    Cracked(WM_KEYDOWN),
    OnControl(CBN_SELENDOK, IDC_FIND_TEXT, Route<&DFind::OnHistoryPick>),
    OnControlRange(BN_CLICKED, IDC_FIND_LINEMODE, IDC_FIND_HEXMODE, Route<&DFind::OnModeClicked>),
    OnControl(BN_CLICKED, IDC_FIND_SELECTION, Route<&DFind::OnSelectionToggled>),
    OnControlRange(BN_CLICKED, IDC_FIND_PANE1STOP, IDC_FIND_PANE2STOP, Route<&DFind::OnStopPane>),
    OnMessage(kMsgFindJob, Route<&DFind::OnFindActivity>),
};

constexpr wchar_t kHelpText[] =
    L"? - any single character\r\n"
    L"* - arbitrary number of any characters (0 or more)\r\n"
    L"{ABC} - A, B, or C\r\n"
    L"{A-C} - A, B, or C\r\n"
    L"{!ABC} - any single character except A, B, and C\r\n"
    L"(exp1|exp2) - exp1 or exp2\r\n"
    L"! - anything but ...\r\n"
    L"^ - begin/end of line";

struct GroupCaption {
    int id;
    const wchar_t* text;
};
constexpr GroupCaption kGroupCaptions[] = {
    {IDC_FIND_LINEMODE, L"Mode"},       {IDC_FIND_UP, L"Direction"},  {IDC_FIND_CODESECTIONS, L"Sections"},
    {IDC_FIND_CODELINES, L"Region"},    {IDC_FIND_MATCHCASE, L"Options"}, {IDC_FIND_PANE1, L"Result to pane"},
};

constexpr int kRegionIds[] = {IDC_FIND_CODELINES, IDC_FIND_DATALINES, IDC_FIND_COMMENTS, IDC_FIND_MATCHCASE};

RECT& FindPlace() {
    static RECT place{};
    return place;
}

DFind*& OpenDialog() {
    static DFind* open = nullptr;
    return open;
}

}  // namespace

const MessageMap DFind::kMessageMap{&ThemeDialog::kMessageMap, kFindEntries};

DFind* DFind::Open() { return OpenDialog(); }

DFind::DFind(CWnd* parent, FindContext* context)
    : ThemeDialog(L"Find", parent, &FindPlace()), context_(context) {}

DFind::~DFind() {
    if (OpenDialog() == this) OpenDialog() = savedOpen_;
}

bool DFind::PaneBusy(int index) const {
    FindResult* result = context_ ? context_->GetResultByIndex(index + 1) : nullptr;
    return result && result->runningJobs > 0;
}

BOOL DFind::OnInitDialog() {
    ThemeDialog::OnInitDialog();
    savedOpen_ = OpenDialog();
    OpenDialog() = this;

    combo.SubclassDlgItem(IDC_FIND_TEXT, this);
    font_.CreatePointFont(100, L"Arial");
    combo.SetFont(font_);
    combo.hex.backColor = ThemeColor(14);
    combo.hex.textColor = ThemeColor(5);
    combo.SetLimit(kTextLimit);
    if (context_) context_->history.FillControl(combo.m_hWnd);

    FileParseThread* document = context_ ? context_->document : nullptr;
    hasEngine_ = document && document->Engine() != nullptr;
    FindParameters parameters;
    if (context_) parameters = context_->parameters;
    hasSelection_ = (parameters.flags & kFindSelection) != 0;
    SetParameters(parameters);
    SetMode(parameters);
    EnableSections();
    UpdatePanes();

    // The help of line patterns shows over the combo box.
    toolTip_ = std::make_unique<CWnd>();
    RECT anywhere{0, 0, 0, 0};
    if (toolTip_->CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           anywhere, m_hWnd, 0)) {
        toolTip_->SendMessage(TTM_SETMAXTIPWIDTH, 0, 600);
        savedToolTip_ = SetThreadToolTip(toolTip_.get());
        EnableToolTips(true);
    }
    return TRUE;
}

void DFind::OnDestroy() {
    if (toolTip_) {
        SetThreadToolTip(savedToolTip_);
        toolTip_->DestroyWindow();
        toolTip_.reset();
    }
    if (OpenDialog() == this) OpenDialog() = savedOpen_;
    ThemeDialog::OnDestroy();
}

void DFind::EnableSections() {
    bool selection = IsChecked(IDC_FIND_SELECTION);
    if (!hasSelection_) {
        SetCheck(IDC_FIND_SELECTION, false);
        EnableItem(IDC_FIND_SELECTION, false);
        selection = false;
    }
    EnableItem(IDC_FIND_ATCURSOR, !selection);
    EnableItem(IDC_FIND_CODESECTIONS, !selection && hasEngine_);
    EnableItem(IDC_FIND_DATASECTIONS, !selection && hasEngine_);
    if (!hasEngine_) {
        // Data only: no code to search.
        SetCheck(IDC_FIND_CODESECTIONS, false);
        SetCheck(IDC_FIND_DATASECTIONS, true);
        SetCheck(IDC_FIND_CODELINES, false);
        SetCheck(IDC_FIND_DATALINES, true);
        EnableItem(IDC_FIND_CODELINES, false);
        EnableItem(IDC_FIND_DATALINES, false);
    }
}

void DFind::SetParameters(const FindParameters& parameters) {
    const uint32_t flags = parameters.flags;
    CheckRadio(IDC_FIND_UP, IDC_FIND_DOWN, (flags & kFindBackward) ? IDC_FIND_UP : IDC_FIND_DOWN);
    SetCheck(IDC_FIND_ATCURSOR, (flags & kFindFromCursor) != 0);
    SetCheck(IDC_FIND_SELECTION, (flags & kFindSelection) != 0);
    SetCheck(IDC_FIND_CODESECTIONS, (flags & kFindCodeSegments) != 0);
    SetCheck(IDC_FIND_DATASECTIONS, (flags & kFindDataSegments) != 0);
    paneIndex = static_cast<int>((flags & kFindPaneMask) >> kFindPaneShift) - 1;
    if (paneIndex < 0 || paneIndex > 1) paneIndex = 0;
    CheckRadio(IDC_FIND_PANE1, IDC_FIND_PANE2, IDC_FIND_PANE1 + paneIndex);
    if ((flags & kFindModeMask) == kFindLineMode) {
        SetCheck(IDC_FIND_CODELINES, (flags & kFindCodeLines) != 0);
        SetCheck(IDC_FIND_DATALINES, (flags & kFindOtherLines) != 0);
        SetCheck(IDC_FIND_COMMENTS, (flags & kFindComments) != 0);
        SetCheck(IDC_FIND_MATCHCASE, (flags & kFindCase) != 0);
    }
}

void DFind::SetMode(const FindParameters& parameters) {
    modeIndex = (parameters.flags & kFindModeMask) == kFindHexMode ? 1 : 0;
    CheckRadio(IDC_FIND_LINEMODE, IDC_FIND_HEXMODE, IDC_FIND_LINEMODE + modeIndex);
    bool line = modeIndex == 0;
    for (int id : kRegionIds) {
        if (!line) SetCheck(id, false);
        EnableItem(id, line && (hasEngine_ || (id != IDC_FIND_CODELINES && id != IDC_FIND_DATALINES)));
    }
    if (!hasEngine_ && line) {
        SetCheck(IDC_FIND_CODELINES, false);
        SetCheck(IDC_FIND_DATALINES, true);
    }
    // While the dialog is not shown yet the combo cannot tell which editor is up; the mode can.
    if (line) {
        combo.ShowTextEditor();
        combo.SetWindowText(parameters.text.c_str());
    } else {
        combo.ShowHexEditor();
        combo.hex.SetText(parameters.text.c_str());
    }
}

void DFind::GetParameters(FindParameters& parameters) const {
    uint32_t flags = parameters.flags & kFindOem;
    bool line = IsChecked(IDC_FIND_LINEMODE) || !IsChecked(IDC_FIND_HEXMODE);
    flags |= line ? kFindLineMode : kFindHexMode;
    int pane = GetCheckedRadio(IDC_FIND_PANE1, IDC_FIND_PANE2) == IDC_FIND_PANE2 ? 1 : 0;
    flags |= static_cast<uint32_t>(pane + 1) << kFindPaneShift;
    if (IsChecked(IDC_FIND_UP)) flags |= kFindBackward;
    if (IsChecked(IDC_FIND_ATCURSOR)) flags |= kFindFromCursor;
    bool selection = IsChecked(IDC_FIND_SELECTION);
    if (selection) flags |= kFindSelection;
    bool code = IsChecked(IDC_FIND_CODESECTIONS), data = IsChecked(IDC_FIND_DATASECTIONS);
    if (selection || (!code && !data)) {
        flags |= kFindCodeSegments | kFindDataSegments;
    } else {
        if (code) flags |= kFindCodeSegments;
        if (data) flags |= kFindDataSegments;
    }
    bool codeLines = IsChecked(IDC_FIND_CODELINES), dataLines = IsChecked(IDC_FIND_DATALINES),
         comments = IsChecked(IDC_FIND_COMMENTS);
    if (!codeLines && !dataLines && !comments) {
        flags |= kFindCodeLines | kFindOtherLines | kFindComments;
    } else {
        if (codeLines) flags |= kFindCodeLines;
        if (dataLines) flags |= kFindOtherLines;
        if (comments) flags |= kFindComments;
    }
    if (line && IsChecked(IDC_FIND_MATCHCASE)) flags |= kFindCase;
    parameters.flags = flags;
    parameters.text = modeIndex == 1 ? combo.hex.GetText() : StringW(combo.GetWindowText());
}

void DFind::UpdatePanes() {
    bool busy[2] = {PaneBusy(0), PaneBusy(1)};
    for (int i = 0; i < 2; ++i) {
        EnableItem(IDC_FIND_PANE1 + i, !busy[i]);
        EnableItem(IDC_FIND_PANE1STOP + i, busy[i]);
        FindResult* result = context_ ? context_->GetResultByIndex(i + 1) : nullptr;
        SetItemText(IDC_FIND_PANE1TEXT + i, result ? result->parameters.text.c_str() : L"");
    }
    int chosen = GetCheckedRadio(IDC_FIND_PANE1, IDC_FIND_PANE2) == IDC_FIND_PANE2 ? 1 : 0;
    if (busy[chosen] && !busy[1 - chosen]) chosen = 1 - chosen;
    paneIndex = chosen;
    CheckRadio(IDC_FIND_PANE1, IDC_FIND_PANE2, IDC_FIND_PANE1 + chosen);
    EnableItem(IDOK, !(busy[0] && busy[1]));
}

void DFind::OnFindDone(FindResult*) { SendMessage(kMsgFindJob, 0, 0); }

LRESULT DFind::OnFindActivity(WPARAM wParam, LPARAM) {
    if (wParam == 0) UpdatePanes();
    return 0;
}

void DFind::OnHistoryPick() {
    int selected = combo.GetCurSel();
    const FindParameters* picked = context_ && selected >= 0 ? context_->history.ParametersAt(selected) : nullptr;
    if (!picked) return;
    FindParameters parameters = *picked;
    SetMode(parameters);
}

void DFind::OnModeClicked(UINT id) {
    FindParameters parameters;
    GetParameters(parameters);
    parameters.flags = (parameters.flags & ~kFindModeMask) | (id == IDC_FIND_HEXMODE ? kFindHexMode : kFindLineMode);
    if ((id == IDC_FIND_HEXMODE) != (modeIndex == 1)) SetMode(parameters);
    if (combo.HexShown()) {
        combo.hex.SetFocus();
    } else {
        combo.SetFocus();
    }
}

void DFind::OnSelectionToggled() { EnableSections(); }

void DFind::OnStopPane(UINT id) {
    FindResult* result = context_ ? context_->GetResultByIndex(id == IDC_FIND_PANE1STOP ? 1 : 2) : nullptr;
    if (result) result->stop = 1;
}

void DFind::OnKeyDown(UINT key, UINT, UINT) {
    // Keys the hex editor passes on through the combo box.
    switch (key) {
    case VK_RETURN: OnOK(); break;
    case VK_ESCAPE: OnCancel(); break;
    case VK_TAB: SendMessage(WM_NEXTDLGCTL, (::GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, FALSE); break;
    default: break;
    }
}

void DFind::OnOK() {
    if (!IsItemEnabled(IDOK)) return;
    FindParameters parameters;
    if (context_) parameters = context_->parameters;
    GetParameters(parameters);
    if (parameters.text.empty()) return;
    if (context_) {
        parameters.rangeStart = context_->parameters.rangeStart;
        parameters.rangeEnd = context_->parameters.rangeEnd;
        context_->parameters = parameters;
    }
    ThemeDialog::OnOK();
}

void DFind::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    for (const GroupCaption& group : kGroupCaptions) DrawGroupFrame(dc, group.id, group.text, 0);
    ::EndPaint(m_hWnd, &ps);
}

INT_PTR DFind::OnToolHitTest(POINT point, TOOLINFOW* info) const {
    if (modeIndex != 0) return -1;
    RECT r = ItemRect(IDC_FIND_TEXT);
    RECT edit{};
    ::GetWindowRect(Item(IDC_FIND_TEXT), &edit);
    r.bottom = r.top + (edit.bottom - edit.top < 40 ? edit.bottom - edit.top : 24);
    if (!::PtInRect(&r, point)) return -1;
    info->hwnd = m_hWnd;
    info->uId = IDC_FIND_TEXT;
    info->rect = r;
    info->lpszText = ::wcsdup(kHelpText);
    return IDC_FIND_TEXT;
}

bool RunFindDialog(CWnd* parent, FindContext& context) {
    DFind dialog(parent, &context);
    return dialog.DoModal() == IDOK;
}
