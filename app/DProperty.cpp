#include "app/DProperty.h"

#include "app/PropertyCells.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ScrollPager.h"

#include <algorithm>

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr int kTabsId = 99;
constexpr int kFirstViewId = 100;

constexpr MessageEntry kViewEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PAINT),
    Cracked(WM_SIZE),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_MOUSEWHEEL),
    Cracked(WM_VSCROLL),
};

constexpr MessageEntry kPropertyEntries[] = {
    Cracked(WM_SIZE),
    Cracked(WM_GETMINMAXINFO),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PARENTNOTIFY),
    Cracked(WM_MOUSEWHEEL),
    OnCommand(DProperty::kSaveId, Route<&DProperty::OnSave>),
};

DialogTemplate MakeTemplate() {
    DialogTemplate t(kDialogStyle, WS_EX_TOOLWINDOW, 0, 0, 240, 120, L"");
    t.AddControl(L"BUTTON", L"&Save", DProperty::kSaveId, kButtonStyle, 0, 0, 60, 14);
    t.AddControl(L"BUTTON", L"&Apply", IDOK, kButtonStyle, 0, 0, 60, 14);
    t.AddControl(L"BUTTON", L"&Cancel", IDCANCEL, kButtonStyle | BS_DEFPUSHBUTTON, 0, 0, 60, 14);
    return t;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

}  // namespace

TabView::TabView() : BTabber(0, std::make_unique<TabVS2003>(), 8) {}

// ---- BPropertyView

const MessageMap BPropertyView::kMessageMap{&CWnd::kMessageMap, kViewEntries};

BPropertyView::BPropertyView(CWnd* dialog) : dialog(dialog) {}
BPropertyView::~BPropertyView() = default;

bool BPropertyView::Create(HWND parent, UINT id) {
    return CreateEx(0, nullptr, L"", WS_CHILD | WS_CLIPCHILDREN, RECT{0, 0, 10, 10}, parent, id);
}

int BPropertyView::OnCreate(CREATESTRUCTW*) {
    scroller.SetPager(new ScrollPagerPage);
    scroller.CreateBarB(m_hWnd);
    scroller.ShowWindow(SW_HIDE);
    CreateFontPoints(font, L"Helv", 9, false, 400);
    SIZE cell = CharCellFromMetrics(font);
    charWidth = cell.cx;
    charHeight = cell.cy;
    rowHeight = charHeight + charHeight / 3;
    scroller.lineHeight = RowPitch();
    return 0;
}

BOOL BPropertyView::OnEraseBkgnd(HDC) { return TRUE; }

void BPropertyView::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client = GetClientRect();
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    PaintInto(memory, client);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::EndPaint(m_hWnd, &ps);
}

void BPropertyView::PaintInto(HDC dc, const RECT& client) {
    RECT edge = client;
    ::DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    RECT area{client.left + 2, client.top + 2, client.right - 2, client.bottom - 2};
    if (ScrollerShown()) area.right -= ::GetSystemMetrics(SM_CXVSCROLL);
    rowsArea = area;

    HBRUSH hatch = ::CreateHatchBrush(HS_DIAGCROSS, ThemeColor(30));
    ::SetBkColor(dc, ThemeColor(3));
    ::SetBkMode(dc, OPAQUE);
    ::FillRect(dc, &area, hatch);
    ::DeleteObject(hatch);

    HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    int visible = static_cast<int>(area.bottom - area.top) / RowPitch() + 1;
    int middle = (area.left + area.right) / 2;
    for (int i = 0; i < visible && firstRow + i < static_cast<int>(rows.size()); ++i) {
        BProperty* property = rows[firstRow + i];
        int top = area.top + i * RowPitch();
        RECT key{area.left, top, middle, top + rowHeight};
        Fill(dc, key, ThemeColor(1));
        RECT keyText{key.left + kMargin, key.top, key.right - kMargin, key.bottom};
        ::SetTextColor(dc, ThemeColor(4));
        ::DrawTextW(dc, property->key.c_str(), -1, &keyText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        Line(dc, middle, top, middle, top + rowHeight, ThemeColor(28));
        RECT value{middle + 1, top, area.right, top + rowHeight};
        ::SetTextColor(dc, ThemeColor(4));
        DrawPropertyCell(*property, dc, value);
        Line(dc, area.left, top + rowHeight, area.right, top + rowHeight, ThemeColor(28));
        Line(dc, area.left, top + rowHeight + 1, area.right, top + rowHeight + 1, ThemeColor(3));
    }
    ::SelectObject(dc, oldFont);
}

void BPropertyView::OnSize(UINT, int cx, int cy) {
    int areaHeight = std::max(0, cy - 4);
    bool fits = static_cast<int>(rows.size()) * RowPitch() <= areaHeight;
    if (scroller.m_hWnd) {
        int barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
        scroller.MoveWindow(cx - 2 - barWidth, 2, barWidth, areaHeight);
        scroller.rangeStart = 0;
        scroller.rangeEnd = static_cast<int64_t>(rows.size());
        scroller.top = 0;
        scroller.ShowWindow(fits ? SW_HIDE : SW_SHOW);
        scroller.UpdateThumb();
    }
    rowsArea = RECT{2, 2, cx - 2 - (fits ? 0 : ::GetSystemMetrics(SM_CXVSCROLL)), cy - 2};
    firstRow = 0;
    Invalidate(false);
}

int BPropertyView::RowAt(POINT point) const {
    if (!::PtInRect(&rowsArea, point)) return -1;
    int row = (point.y - rowsArea.top) / RowPitch() + firstRow;
    return row < static_cast<int>(rows.size()) ? row : -1;
}

RECT BPropertyView::ValueCell(int row) const {
    int top = rowsArea.top + (row - firstRow) * RowPitch();
    return RECT{(rowsArea.left + rowsArea.right) / 2 + 1, top, rowsArea.right, top + rowHeight};
}

bool BPropertyView::EditRow(int row, POINT click) {
    PropertyEditContext context;
    context.parent = m_hWnd;
    context.cell = ValueCell(row);
    context.click = click;
    context.font = font;
    context.rowHeight = rowHeight;
    return EditPropertyCell(*rows[row], context);
}

void BPropertyView::OnLButtonDown(UINT, POINT point) {
    int row = RowAt(point);
    if (row < 0) return;
    HWND notified = dialog ? dialog->m_hWnd : GetParent();
    ::SendMessageW(notified, WM_PARENTNOTIFY, MAKEWPARAM(kEditNotice, 0), reinterpret_cast<LPARAM>(m_hWnd));
    if (EditRow(row, point)) changed = true;
    ::SendMessageW(notified, WM_PARENTNOTIFY, MAKEWPARAM(kEditNotice, 1), reinterpret_cast<LPARAM>(m_hWnd));
    Invalidate(false);
}

void BPropertyView::ScrollTo(int row) {
    int visible = std::max(1, static_cast<int>(rowsArea.bottom - rowsArea.top) / RowPitch());
    int last = std::max(0, static_cast<int>(rows.size()) - visible);
    firstRow = std::min(std::max(row, 0), last);
    scroller.top = firstRow;
    scroller.UpdateThumb();
    Invalidate(false);
    UpdateWindow();
}

BOOL BPropertyView::OnMouseWheel(UINT, short delta, POINT) {
    if (!ScrollerShown()) return TRUE;
    ScrollTo(firstRow - 3 * delta / 120);
    return TRUE;
}

void BPropertyView::OnVScroll(UINT code, UINT position, HWND) {
    scroller.top = firstRow;
    scroller.Scroll(static_cast<int>(code), static_cast<int16_t>(position));
    scroller.NormalizePosition();
    ScrollTo(static_cast<int>(scroller.top));
}

// ---- DProperty

const MessageMap DProperty::kMessageMap{&Dialog::kMessageMap, kPropertyEntries};

DProperty::DProperty(CWnd* parent, std::vector<BPropertySection*> sections)
    : Dialog(static_cast<const DLGTEMPLATE*>(nullptr), parent), sections(std::move(sections)),
      template_(MakeTemplate()) {
    SetTemplate(template_.Get());
}

DProperty::~DProperty() = default;

BOOL DProperty::OnInitDialog() {
    if (sections.empty()) return TRUE;
    RECT none{0, 0, 10, 10};
    tabs.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, none, m_hWnd, kTabsId);
    tabs.SetSideFlags(BTabber::kTop);
    tabs.SetFont(L"Helv", 8, false);
    size_t mostRows = 0;
    int rowHeight = 0;
    for (size_t i = 0; i < sections.size(); ++i) {
        clones.push_back(sections[i]->Clone());
        auto view = std::make_unique<BPropertyView>(this);
        view->Create(m_hWnd, static_cast<UINT>(kFirstViewId + i));
        tabs.AddTab(view.get(), sections[i]->name.c_str(), true);
        tabs.SetTabData(static_cast<int>(kFirstViewId + i), sections[i]->tabColor);
        if (clones.back()) clones.back()->ListVisible(*view);
        mostRows = std::max(mostRows, view->rows.size());
        rowHeight = view->rowHeight;
        views.push_back(std::move(view));
    }

    int rowsHeight = static_cast<int>(mostRows) * (rowHeight + 2);
    int frame = 2 * ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    if (GetExStyle() & WS_EX_TOOLWINDOW) frame -= 4;
    int height = tabs.StripSize() + rowsHeight + frame + 52;
    minHeight = height;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, kWidth, height, SWP_NOZORDER);
    RECT client = GetClientRect();
    OnSize(SIZE_RESTORED, client.right, client.bottom);
    EnableItem(IDOK, false);
    tabs.SetFocus();
    return FALSE;
}

void DProperty::OnGetMinMaxInfo(MINMAXINFO* info) {
    if (minHeight <= 0) return;
    info->ptMinTrackSize = POINT{minWidth, minHeight};
    info->ptMaxTrackSize.y = minHeight;   // it only grows in width
}

void DProperty::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MINIMIZED) return;
    int left = (cx - 120) / 2, top = cy - 32;
    if (HWND apply = Item(IDOK)) ::MoveWindow(apply, left, top, 120, 28, TRUE);
    if (HWND save = Item(kSaveId)) ::MoveWindow(save, left - 124, top, 120, 28, TRUE);
    if (HWND cancel = Item(IDCANCEL)) ::MoveWindow(cancel, left + 124, top, 120, 28, TRUE);
    if (tabs.m_hWnd) tabs.MoveWindow(4, 4, std::max(0, cx - 8), std::max(0, cy - 40));
}

BOOL DProperty::OnEraseBkgnd(HDC dc) {
    RECT client = GetClientRect();
    HBRUSH brush = ::CreateSolidBrush(ThemeColor(1));
    RECT parts[] = {
        {0, 0, client.right, 4},
        {0, 0, 4, client.bottom},
        {client.right - 4, 0, client.right, client.bottom},
        {0, client.bottom - 40, client.right, client.bottom},
    };
    for (const RECT& r : parts) ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
    return TRUE;
}

bool DProperty::AnyChanged() const {
    for (const auto& view : views) {
        if (view->changed) return true;
    }
    return false;
}

void DProperty::OnParentNotify(UINT message, LPARAM lParam) {
    if (message != BPropertyView::kEditNotice) {
        Default();
        return;
    }
    (void)lParam;
    const MSG* current = CurrentMessage();
    int phase = current ? HIWORD(current->wParam) : 0;
    if (phase == 0) {
        EnableItem(IDCANCEL, false);
        EnableItem(IDOK, false);
    } else {
        EnableItem(IDCANCEL, true);
        EnableItem(IDOK, AnyChanged());
    }
}

BOOL DProperty::OnMouseWheel(UINT flags, short delta, POINT screenPoint) {
    for (const auto& view : views) {
        const RECT r = view->GetWindowRect();
        if (view->IsWindowVisible() && ::PtInRect(&r, screenPoint))
            return view->OnMouseWheel(flags, delta, screenPoint);
    }
    return TRUE;
}

int DProperty::AssignChanged() {
    int assigned = 0;
    for (size_t i = 0; i < views.size() && i < clones.size(); ++i) {
        if (views[i]->changed && clones[i]) {
            sections[i]->Assign(*clones[i]);
            ++assigned;
        }
    }
    return assigned;
}

void DProperty::OnOK() {
    AssignChanged();
    EndDialog(1);
}

void DProperty::OnSave() {
    AssignChanged();
    EndDialog(kSaveId);
}

int RunOptionsDialog(CWnd* parent, Options& options) {
    DProperty dialog(parent, options.DialogSections());
    return static_cast<int>(dialog.DoModal());
}
