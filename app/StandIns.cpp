#include "app/StandIns.h"

#include "app/CApp.h"
#include "app/FileTabber.h"
#include "app/resources/resource.h"
#include "classlib/CommonDialogs.h"
#include "classlib/DC.h"
#include "core/SystemServices.h"
#include "document/BFileParser.h"
#include "document/FileParseThread.h"
#include "options/BColorTheme.h"

// ---- the file window

constexpr MessageEntry kStandInEntries[] = {
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PAINT),
    OnMessage(0x5E0B, Route<&StandInFileWindow::OnParsing>),
    OnMessage(0x5E0C, Route<&StandInFileWindow::OnParserDone>),
    OnMessage(0x5E0D, Route<&StandInFileWindow::OnRefers>),
    OnCommand(ID_FILE_OPEN, Route<&StandInFileWindow::OnClose302>),
    OnCommand(ID_FILE_CLOSE, Route<&StandInFileWindow::OnClose302>),
};
const MessageMap StandInFileWindow::kMessageMap{&BPane::kMessageMap, kStandInEntries};

StandInFileWindow::~StandInFileWindow() {
    delete document;
    document = nullptr;
    if (m_hWnd)
        DestroyWindow();
}

void StandInFileWindow::AttachDocument(FileParseThread* doc, int32_t fileId) {
    SetDlgCtrlID(fileId);
    doc->Log().SetSink(this);
}

intptr_t StandInFileWindow::NotifyWindows(uint32_t message, uintptr_t wparam, intptr_t lparam, bool windowFirst) {
    intptr_t result = 0;
    if (windowFirst)
        result = SendMessage(message, wparam, lparam);
    SendMessageToDescendants(message, wparam, lparam, true, true);
    if (!windowFirst)
        result = SendMessage(message, wparam, lparam);
    return result;
}

void StandInFileWindow::SendNotify(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    ::SendNotifyMessageW(m_hWnd, message, wparam, lparam);
}

void StandInFileWindow::Post(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    PostMessage(message, wparam, lparam);
}

void StandInFileWindow::UpdateTabTitle() {
    if (document && App().mainWindow.tabber)
        Tabber().SetTabCaption(this, document->FilePath());
}

void StandInFileWindow::PumpMessages() { ::PumpMessages(); }

void StandInFileWindow::AddLine(const wchar_t* text, bool continuation) {
    if (continuation && !lines.empty())
        lines.back().append(text);
    else
        lines.emplace_back(text);
    if (m_hWnd)
        Invalidate();
}

LRESULT StandInFileWindow::OnParsing(WPARAM wParam, LPARAM) {
    if (wParam)
        activity.Push(ActivityStack::kParsing);
    else
        activity.Remove(ActivityStack::kParsing);
    return 0;
}

LRESULT StandInFileWindow::OnParserDone(WPARAM wParam, LPARAM) {
    if (document)
        document->OnParserDone(static_cast<int>(wParam));
    return 0;
}

LRESULT StandInFileWindow::OnRefers(WPARAM wParam, LPARAM) {
    if (wParam)
        activity.Push(ActivityStack::kRefers);
    else
        activity.Remove(ActivityStack::kRefers);
    return 0;
}

void StandInFileWindow::OnClose302() { Tabber().CloseCurrentFile(); }

BOOL StandInFileWindow::OnEraseBkgnd(HDC) { return TRUE; }

void StandInFileWindow::OnPaint() {
    CPaintDC paint(m_hWnd);
    HDC dc = paint.GetSafeHdc();
    const RECT client = GetClientRect();
    HBRUSH brush = ::CreateSolidBrush(RGB(255, 255, 255));
    ::FillRect(dc, &client, brush);
    ::DeleteObject(brush);
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    int y = 4;
    for (const StringW& line : lines) {
        const wchar_t* text = line.c_str();
        int length = line.Length();
        if (length > 0 && text[0] < 8) {
            ++text;
            --length;
        }
        ::TextOutW(dc, 6, y, text, length);
        y += 16;
    }
    ::SelectObject(dc, old);
}

// ---- dialogs

bool StandInOpenDialog(ParserRegistry& parsers, const wchar_t* fileName, ParseRequest** chosen) {
    *chosen = nullptr;
    StringW name(fileName ? fileName : L"");
    if (name.empty()) {
        OpenFileDialog browse(MainWnd().m_hWnd, L"", L"All(*.*)|*.*|Executable(*.exe;*.dll)|*.exe;*.dll||", nullptr);
        if (browse.DoModal() != IDOK)
            return false;
        name = StringW(browse.GetPathName().c_str());
    }
    if (!FileExists(name.c_str()))
        return false;
    ParseRequest* probe = MakeParseRequest(name.c_str());
    std::vector<ParseRequest*> offers;
    parsers.Probe(offers, probe);
    FreeParseRecord(probe);
    for (size_t i = 0; i < offers.size(); ++i) {
        if (i == 0)
            *chosen = offers[i];
        else
            FreeParseRecord(offers[i]);
    }
    return *chosen != nullptr;
}

INT_PTR StandInOptionsDialog(Options&, HWND) { return IDCANCEL; }

bool StandInAskCancel(const wchar_t* what) {
    const StringW text(kFormat, L"Do You want cancel %s ?", what);
    return ShowMessageBox(MainWnd().m_hWnd, text.c_str(), L"Ask confirm abort", MB_ICONQUESTION | MB_YESNO) == IDYES;
}
