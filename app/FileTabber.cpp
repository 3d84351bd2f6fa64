#include "app/FileTabber.h"

#include "app/CApp.h"
#include "app/DOpenfile.h"
#include "app/FilePane.h"
#include "app/VApp.h"
#include "app/resources/resource.h"
#include "document/BFileParser.h"
#include "document/FileParseThread.h"

#include <algorithm>
#include <memory>

namespace {

constexpr size_t kTabCapacity = 16;

}  // namespace

FileTabber& Tabber() { return *App().mainWindow.tabber; }

// ---- the open request

FileRequest::~FileRequest() { FreeParseRecord(request); }

bool FileRequest::Run(CWnd* owner) {
    FreeParseRecord(request);
    request = nullptr;
    DOpenfile dialog(owner, &App().parsers, fileName.c_str());
    if (dialog.DoModal() != IDOK)
        return false;
    request = dialog.TakeRequest();
    fileName = dialog.FileName();
    return request != nullptr;
}

ParseRequest* FileRequest::Take() {
    ParseRequest* taken = request;
    request = nullptr;
    return taken;
}

// ---- the tabber

constexpr MessageEntry kFileTabberEntries[] = {
    Cracked(WM_LBUTTONDBLCLK),
    Cracked(WM_TIMER),
    OnMessage(WM_MBUTTONUP, Route<&FileTabber::OnMButtonUp>),
    OnMessage(kMsgOptions, Route<&FileTabber::OnOptionsMessage>),
    OnMessage(kMsgRepaintTabs, Route<&FileTabber::OnRepaintStrip>),
    OnCommand(ID_FILE_OPEN, Route<&FileTabber::OnOpen>),
};
const MessageMap FileTabber::kMessageMap{&BTabber::kMessageMap, kFileTabberEntries};

FileTabber::FileTabber() : BTabber(0, std::make_unique<TabVS2003>(), kTabCapacity) {}

FileTabber::~FileTabber() {
    while (Count() > 0) {
        FilePane* window = WindowAt(Count() - 1);
        {
            SectionLock guard(lock_.Get());
            RemoveTab(Count() - 1);
        }
        delete window;
    }
    for (auto& icon : icons_)
        ::DestroyIcon(icon.second);
}

int FileTabber::OnCreate(CREATESTRUCTW* cs) {
    if (BTabber::OnCreate(cs) == -1)
        return -1;
    SetFont(L"Helv", 9, false);
    return 0;
}

int FileTabber::OpenFileInNewTab(ParseRequest* request) {
    auto* window = new FilePane;
    const RECT page = PageRect();
    window->CreateEx(0, nullptr, L"", WS_CHILD | WS_CLIPCHILDREN, page, m_hWnd, 0);
    FileParseThread* document = new FileParseThread(window);
    window->document = document;
    document->options.CopyFrom(App().options);
    SendToWindowTree(window->m_hWnd, kMsgOptions, kOptionsApply,
                     reinterpret_cast<LPARAM>(static_cast<Options*>(&App().options)), true);
    const int id = window->GetDlgCtrlID();
    {
        SectionLock guard(lock_.Get());
        AddTab(window, request ? request->path : L"", true);
    }
    SelectTab(id);
    window->SetFocus();
    document->OpenFile(request);
    return id;
}

void FileTabber::OnOpen() {
    if (ActiveIndex() >= 0)
        return;
    if (!request.Run(&MainWnd()))
        return;
    MainWnd().ShowTabs();
    const int id = OpenFileInNewTab(request.Take());
    SelectAndFocus(id);
    Invalidate();
}

bool FileTabber::CloseFile(int index, bool ask) {
    if (index < 0 || index >= Count())
        return false;
    FilePane* window = WindowAt(index);
    if (ask && window->IsParsing() && !window->AskCancelParsing())
        return false;
    if (window->InNestedLoop()) {
        if (window->document)
            window->document->finds.StopAll();
        if (std::find(closeWhenFree_.begin(), closeWhenFree_.end(), window->m_hWnd) == closeWhenFree_.end())
            closeWhenFree_.push_back(window->m_hWnd);
        SetTimer(kCloseTimer, 20);
        return false;
    }
    if (window->document)
        window->document->CloseFile();
    {
        SectionLock guard(lock_.Get());
        RemoveTab(index);
    }
    delete window;
    VApp& main = MainWnd();
    main.SetFocusPane(nullptr);
    if (ActiveIndex() >= 0)
        Invalidate();
    else if (main.m_hWnd)
        main.ShowStartScreen();
    return true;
}

bool FileTabber::CloseCurrentFile() { return CloseFile(ActiveIndex()); }

bool FileTabber::ReloadFile() {
    FilePane* window = CurrentWindow();
    if (!window || !window->document || window->InNestedLoop())
        return false;
    if (window->IsParsing() && !window->AskCancelParsing())
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

FileParseThread* FileTabber::CurrentFile() const { return FileAt(ActiveIndex()); }

FileParseThread* FileTabber::FileAt(int n) const {
    FilePane* window = WindowAt(n);
    return window ? window->document : nullptr;
}

FilePane* FileTabber::WindowAt(int n) const {
    return n >= 0 && n < Count() ? static_cast<FilePane*>(tabs[n]->window) : nullptr;
}

bool FileTabber::FindRunning(const FilePane* window) {
    return window && window->document && window->document->finds.AnyRunning();
}

void FileTabber::OnTimer(UINT_PTR id) {
    if (id != kCloseTimer)
        return;
    std::vector<HWND> waiting;
    waiting.swap(closeWhenFree_);
    for (HWND handle : waiting) {
        for (int i = 0; i < Count(); ++i) {
            if (WindowAt(i)->m_hWnd != handle)
                continue;
            if (WindowAt(i)->InNestedLoop())
                closeWhenFree_.push_back(handle);
            else
                CloseFile(i, false);
            break;
        }
    }
    if (!closeWhenFree_.empty())
        return;
    KillTimer(kCloseTimer);
    if (closeMainAfter) {
        closeMainAfter = false;
        MainWnd().PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

bool FileTabber::AnyFileBusy() const {
    for (int i = 0; i < Count(); ++i) {
        FilePane* window = WindowAt(i);
        if (window->IsParsing() || FindRunning(window))
            return true;
    }
    return false;
}

void FileTabber::StopAll() {
    for (int i = 0; i < Count(); ++i) {
        if (FileParseThread* document = WindowAt(i)->document) {
            document->CancelParse();
            document->finds.StopAll();
            document->modified = false;
        }
    }
}

FileParseThread* FileTabber::FindFileById(int32_t id) {
    SectionLock guard(lock_.Get());
    for (int i = 0; i < Count(); ++i) {
        FileParseThread* document = WindowAt(i)->document;
        if (document && document->Serial() == id)
            return document;
    }
    return nullptr;
}

void FileTabber::SetTabCaption(const CWnd* window, const wchar_t* caption) {
    if (BTabOne* tab = TabByWindow(window)) {
        tab->SetText(caption ? caption : L"");
        if (m_hWnd)
            Invalidate();
    }
}

void FileTabber::ShowActivity(const CWnd* window, bool shown, COLORREF colour) {
    BTabOne* tab = TabByWindow(window);
    if (!tab)
        return;
    if (tab->SetIcon(shown ? IconOf(colour) : nullptr, shown ? kIconSize : 0) && m_hWnd)
        Invalidate();
}

HICON FileTabber::IconOf(COLORREF colour) {
    auto found = icons_.find(colour);
    if (found != icons_.end())
        return found->second;
    // A box in the colour, framed in black.
    HDC screen = ::GetDC(nullptr);
    HBITMAP image = ::CreateCompatibleBitmap(screen, kIconSize, kIconSize);
    HBITMAP mask = ::CreateBitmap(kIconSize, kIconSize, 1, 1, nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, image);
    RECT r{0, 0, kIconSize, kIconSize};
    HBRUSH fill = ::CreateSolidBrush(colour);
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::InflateRect(&r, -1, -1);
    ::FillRect(dc, &r, fill);
    ::SelectObject(dc, mask);
    r = RECT{0, 0, kIconSize, kIconSize};
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));   // all opaque
    ::SelectObject(dc, old);
    ICONINFO info{TRUE, 0, 0, mask, image};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(fill);
    ::DeleteDC(dc);
    ::DeleteObject(image);
    ::DeleteObject(mask);
    ::ReleaseDC(nullptr, screen);
    icons_[colour] = icon;
    return icon;
}

void FileTabber::OnLButtonDblClk(UINT, POINT) {
    if (ActiveIndex() >= 0)
        ReloadFile();
    else
        OnOpen();
}

LRESULT FileTabber::OnMButtonUp(WPARAM, LPARAM lParam) {
    const int index = TabAtPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    if (index >= 0)
        CloseFile(index);
    return 0;
}

// A file's own set reaches that file's windows alone, so the others keep their colours and layout;
// any other set (the application's) reaches every file window. Each window gets it once.
LRESULT FileTabber::OnOptionsMessage(WPARAM wParam, LPARAM lParam) {
    const auto* set = reinterpret_cast<const Options*>(lParam);
    auto ownedBy = [set](const FilePane* window) { return window->document && &window->document->options == set; };
    bool fileSet = false;
    for (int i = 0; i < Count(); ++i)
        fileSet = fileSet || ownedBy(WindowAt(i));
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const auto* window = dynamic_cast<const FilePane*>(CWnd::FromHandle(child));
        if (window && fileSet && !ownedBy(window))
            continue;
        SendToWindowTree(child, kMsgOptions, wParam, lParam, true);
    }
    return 0;
}

LRESULT FileTabber::OnRepaintStrip(WPARAM, LPARAM) {
    Invalidate();
    UpdateWindow();
    return 0;
}
