#include "app/FileTabber.h"

#include "app/CApp.h"
#include "app/VApp.h"
#include "app/resources/resource.h"
#include "classlib/DC.h"
#include "document/BFileParser.h"
#include "document/FileParseThread.h"
#include "options/BColorTheme.h"

#include <algorithm>

namespace {

constexpr int kMaxTabWidth = 240;
constexpr int kIconSize = 10;

}  // namespace

FileTabber& Tabber() { return *App().mainWindow.tabber; }

// ---- the open request

FileRequest::~FileRequest() { FreeParseRecord(request); }

bool FileRequest::Run(CWnd* owner) {
    (void)owner;
    FreeParseRecord(request);
    request = nullptr;
    App().recentFiles.PushFront(fileName.c_str());
    return StandInOpenDialog(App().parsers, fileName.c_str(), &request);
}

ParseRequest* FileRequest::Take() {
    ParseRequest* taken = request;
    request = nullptr;
    return taken;
}

// ---- the tabber

constexpr MessageEntry kFileTabberEntries[] = {
    Cracked(WM_SIZE),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PAINT),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_LBUTTONDBLCLK),
    OnMessage(WM_MBUTTONUP, Route<&FileTabber::OnMButtonUp>),
    OnMessage(kMsgOptions, Route<&FileTabber::OnOptionsMessage>),
    OnMessage(kMsgRepaintTabs, Route<&FileTabber::OnRepaintStrip>),
    OnCommand(ID_FILE_OPEN, Route<&FileTabber::OnOpen>),
};
const MessageMap FileTabber::kMessageMap{&BPane::kMessageMap, kFileTabberEntries};

FileTabber::FileTabber() : BPane(0) {}

FileTabber::~FileTabber() {
    for (FileTab& tab : tabs_)
        delete tab.window;
    tabs_.clear();
    for (auto& icon : icons_)
        ::DestroyIcon(icon.second);
}

int FileTabber::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1)
        return -1;
    font_.CreatePointFont(90, L"Helv");
    return 0;
}

bool FileTabber::OnCmdMsg(UINT id, UINT code) { return CWnd::OnCmdMsg(id, code); }

int FileTabber::OpenFileInNewTab(ParseRequest* request) {
    auto* window = new FileWindow;
    const RECT page = PageRect();
    window->CreateEx(0, nullptr, L"", WS_CHILD | WS_CLIPCHILDREN, page, m_hWnd, 0);
    FileParseThread* document = new FileParseThread(window);
    window->document = document;
    document->options.CopyFrom(App().options);
    SendToWindowTree(window->m_hWnd, kMsgOptions, kOptionsApply,
                     reinterpret_cast<LPARAM>(static_cast<Options*>(&App().options)), true);
    {
        SectionLock guard(lock_.Get());
        FileTab tab;
        tab.window = window;
        tab.caption = request ? StringW(request->path) : StringW();
        tabs_.push_back(tab);
    }
    SelectTab(Count() - 1);
    window->SetFocus();
    document->OpenFile(request);
    return window->GetDlgCtrlID();
}

void FileTabber::OnOpen() {
    if (current_ >= 0)
        return;
    if (!request.Run(&MainWnd()))
        return;
    MainWnd().ShowTabs();
    OpenFileInNewTab(request.Take());
    SelectAndFocus(Count() - 1);
    Invalidate();
}

bool FileTabber::CloseFile(int index) {
    if (index < 0 || index >= Count())
        return false;
    FileWindow* window = tabs_[index].window;
    if (window->IsParsing() && !StandInAskCancel(L"parsing"))
        return false;
    if (window->document)
        window->document->CloseFile();
    RemoveTab(index);
    delete window;
    MainWnd().SetFocusPane(nullptr);
    if (current_ >= 0)
        Invalidate();
    else
        MainWnd().ShowStartScreen();
    return true;
}

bool FileTabber::CloseCurrentFile() { return CloseFile(current_); }

bool FileTabber::ReloadFile() {
    FileWindow* window = CurrentWindow();
    if (!window || !window->document)
        return false;
    if (window->IsParsing() && !StandInAskCancel(L"parsing"))
        return false;
    FileParseThread* old = window->document;
    request.fileName = StringW(old->FilePath());
    if (!request.Run(&MainWnd()))
        return false;
    if (!old->CloseFile())
        return false;
    FileParseThread* fresh = new FileParseThread(window);
    fresh->options.CopyFrom(old->options);
    window->document = fresh;
    delete old;
    fresh->OpenFile(request.Take());
    Invalidate();
    return true;
}

void FileTabber::RemoveTab(int index) {
    SectionLock guard(lock_.Get());
    const bool wasCurrent = index == current_;
    tabs_.erase(tabs_.begin() + index);
    if (tabs_.empty()) {
        current_ = -1;
        return;
    }
    if (wasCurrent) {
        current_ = -1;
        const int next = index < Count() ? index : index - 1;
        current_ = next;
        tabs_[next].window->ShowWindow(SW_SHOW);
        PlaceWindows();
    } else if (index < current_) {
        --current_;
    }
}

FileParseThread* FileTabber::CurrentFile() const { return FileAt(current_); }

FileParseThread* FileTabber::FileAt(int n) const {
    FileWindow* window = WindowAt(n);
    return window ? window->document : nullptr;
}

FileWindow* FileTabber::WindowAt(int n) const {
    return n >= 0 && n < Count() ? tabs_[n].window : nullptr;
}

bool FileTabber::AnyFileBusy() const {
    for (const FileTab& tab : tabs_) {
        if (tab.window->IsParsing())
            return true;
        if (FileParseThread* document = tab.window->document) {
            for (int i = 1; i <= 2; ++i) {
                if (const FindResult* result = document->finds.GetResultByIndex(i); result && result->runningJobs > 0)
                    return true;
            }
        }
    }
    return false;
}

void FileTabber::StopAll() {
    for (FileTab& tab : tabs_) {
        if (FileParseThread* document = tab.window->document) {
            document->finds.StopAll();
            document->modified = false;
        }
    }
}

FileParseThread* FileTabber::FindFileById(int32_t id) {
    SectionLock guard(lock_.Get());
    for (const FileTab& tab : tabs_) {
        FileParseThread* document = tab.window->document;
        if (document && document->Serial() == id)
            return document;
    }
    return nullptr;
}

bool FileTabber::SelectTab(int index) {
    if (index < 0 || index >= Count())
        return false;
    if (current_ != index) {
        if (FileWindow* old = CurrentWindow())
            old->ShowWindow(SW_HIDE);
        current_ = index;
    }
    PlaceWindows();
    tabs_[index].window->ShowWindow(SW_SHOW);
    BPane::Relayout(tabs_[index].window->m_hWnd);
    Invalidate();
    return true;
}

void FileTabber::SelectAndFocus(int index) {
    if (SelectTab(index))
        tabs_[index].window->SetFocus();
}

int FileTabber::IndexOf(const CWnd* window) const {
    for (int i = 0; i < Count(); ++i) {
        if (tabs_[i].window == window)
            return i;
    }
    return -1;
}

void FileTabber::SetTabCaption(const CWnd* window, const wchar_t* caption) {
    const int index = IndexOf(window);
    if (index < 0)
        return;
    tabs_[index].caption = StringW(caption ? caption : L"");
    if (m_hWnd)
        Invalidate();
}

bool FileTabber::SetTabIcon(const CWnd* window, int key) {
    const int index = IndexOf(window);
    if (index < 0 || tabs_[index].iconKey == key)
        return false;
    tabs_[index].iconKey = key;
    return true;
}

HICON FileTabber::IconOf(int key) {
    auto found = icons_.find(key);
    if (found != icons_.end())
        return found->second;
    // A box in the key's colour, framed in black.
    HDC screen = ::GetDC(nullptr);
    HBITMAP colour = ::CreateCompatibleBitmap(screen, kIconSize, kIconSize);
    HBITMAP mask = ::CreateBitmap(kIconSize, kIconSize, 1, 1, nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, colour);
    RECT r{0, 0, kIconSize, kIconSize};
    HBRUSH frame = ::CreateSolidBrush(RGB(0, 0, 0));
    HBRUSH fill = ::CreateSolidBrush(ThemeColor(key));
    ::FillRect(dc, &r, frame);
    ::InflateRect(&r, -1, -1);
    ::FillRect(dc, &r, fill);
    ::SelectObject(dc, mask);
    r = RECT{0, 0, kIconSize, kIconSize};
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::SelectObject(dc, old);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(frame);
    ::DeleteObject(fill);
    ::DeleteDC(dc);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    ::ReleaseDC(nullptr, screen);
    icons_[key] = icon;
    return icon;
}

RECT FileTabber::PageRect() const {
    RECT r = m_hWnd ? GetClientRect() : RECT{0, 0, 0, 0};
    r.top = std::min<LONG>(r.bottom, r.top + kStripHeight);
    return r;
}

void FileTabber::PlaceWindows() {
    if (FileWindow* window = CurrentWindow())
        window->MoveWindow(PageRect(), true);
}

void FileTabber::OnSize(UINT type, int cx, int cy) {
    BPane::OnSize(type, cx, cy);
    PlaceWindows();
}

int FileTabber::TabAtPoint(POINT point) const {
    if (point.y < 0 || point.y >= kStripHeight || tabs_.empty())
        return -1;
    const RECT client = GetClientRect();
    const int width = std::min<int>(kMaxTabWidth, (client.right - 4) / Count());
    if (width <= 0 || point.x < 2)
        return -1;
    const int index = (point.x - 2) / width;
    return index < Count() ? index : -1;
}

BOOL FileTabber::OnEraseBkgnd(HDC dc) {
    if (current_ < 0) {
        RECT r = GetClientRect();
        HBRUSH brush = ::CreateSolidBrush(ThemeColor(48));
        ::FillRect(dc, &r, brush);
        ::DeleteObject(brush);
    }
    return TRUE;
}

void FileTabber::OnPaint() {
    CPaintDC paint(m_hWnd);
    HDC dc = paint.GetSafeHdc();
    RECT strip = GetClientRect();
    strip.bottom = std::min<LONG>(strip.bottom, kStripHeight);
    HBRUSH background = ::CreateSolidBrush(ThemeColor(50));
    ::FillRect(dc, &strip, background);
    ::DeleteObject(background);
    if (tabs_.empty())
        return;
    HGDIOBJ oldFont = ::SelectObject(dc, font_.GetSafeHandle());
    ::SetBkMode(dc, TRANSPARENT);
    const int width = std::min<int>(kMaxTabWidth, (strip.right - 4) / Count());
    const bool focusInside = CurrentWindow() && (::GetFocus() == CurrentWindow()->m_hWnd ||
                                                 ::IsChild(CurrentWindow()->m_hWnd, ::GetFocus()));
    for (int i = 0; i < Count(); ++i) {
        RECT cell{2 + i * width, 2, 2 + (i + 1) * width - 3, kStripHeight - 2};
        const COLORREF shape = i == current_ ? ThemeColor(focusInside ? 59 : 56) : ThemeColor(50);
        HBRUSH brush = ::CreateSolidBrush(shape);
        ::FillRect(dc, &cell, brush);
        ::DeleteObject(brush);
        RECT content = cell;
        content.left += 4;
        if (tabs_[i].iconKey >= 0) {
            ::DrawIconEx(dc, content.left, (cell.top + cell.bottom - kIconSize) / 2, IconOf(tabs_[i].iconKey),
                         kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
            content.left += kIconSize + 2;
        }
        // The caption shows the file's name, not its folder.
        const StringW& caption = tabs_[i].caption;
        const size_t slash = caption.find_last_of(L"\\/");
        const wchar_t* name = caption.c_str() + (slash == StringW::npos ? 0 : slash + 1);
        ::SetTextColor(dc, ThemeColor(54));
        ::DrawTextW(dc, name, -1, &content, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    RECT band{0, kStripHeight - 2, strip.right, kStripHeight};
    HBRUSH bandBrush = ::CreateSolidBrush(ThemeColor(56));
    ::FillRect(dc, &band, bandBrush);
    ::DeleteObject(bandBrush);
    ::SelectObject(dc, oldFont);
}

void FileTabber::OnLButtonDown(UINT, POINT point) {
    const int index = TabAtPoint(point);
    if (index >= 0)
        SelectAndFocus(index);
}

void FileTabber::OnLButtonDblClk(UINT, POINT point) {
    if (point.y >= kStripHeight)
        return;
    if (current_ >= 0)
        ReloadFile();
    else
        OnOpen();
}

LRESULT FileTabber::OnMButtonUp(WPARAM, LPARAM lParam) {
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const int index = TabAtPoint(point);
    if (index >= 0)
        CloseFile(index);
    return 0;
}

LRESULT FileTabber::OnOptionsMessage(WPARAM wParam, LPARAM lParam) {
    if (FileWindow* window = CurrentWindow())
        window->SendMessage(kMsgOptions, wParam, lParam);
    return 0;
}

LRESULT FileTabber::OnRepaintStrip(WPARAM, LPARAM) {
    RECT strip = GetClientRect();
    strip.bottom = std::min<LONG>(strip.bottom, kStripHeight);
    InvalidateRect(&strip, true);
    UpdateWindow();
    return 0;
}
