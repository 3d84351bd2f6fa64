#include "classlib/CommonDialogs.h"

#include "classlib/CursorIcon.h"
#include "classlib/ModalLoop.h"

#include <objbase.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace {

std::deque<std::function<INT_PTR(SystemDialog&)>>& SystemAnswers() {
    static thread_local std::deque<std::function<INT_PTR(SystemDialog&)>> answers;
    return answers;
}

std::deque<int>& MessageBoxAnswers() {
    static thread_local std::deque<int> answers;
    return answers;
}

MessageBoxRecord& LastBox() {
    static thread_local MessageBoxRecord record;
    return record;
}

std::function<bool(const wchar_t*)>& ShellSeam() {
    static thread_local std::function<bool(const wchar_t*)> seam;
    return seam;
}

}  // namespace

ComScope::ComScope() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
ComScope::~ComScope() {
    if (ok_) ::CoUninitialize();
}

void PushSystemDialogAnswer(std::function<INT_PTR(SystemDialog&)> answer) {
    SystemAnswers().push_back(std::move(answer));
}

INT_PTR SystemDialog::DoModal() {
    ModalLoopScope loop;
    CancelMouseMode();   // a held button or drag lets go before the dialog takes the mouse
    if (!SystemAnswers().empty()) {
        auto answer = std::move(SystemAnswers().front());
        SystemAnswers().pop_front();
        return answer(*this);
    }
    return Show();
}

CFontDialog::CFontDialog(const LOGFONTW* initial, DWORD flags, HWND owner) : flags_(flags), owner_(owner) {
    if (initial) {
        logFont_ = *initial;
        flags_ |= CF_INITTOLOGFONTSTRUCT;
    }
}

INT_PTR CFontDialog::Show() {
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner_;
    cf.lpLogFont = &logFont_;
    cf.Flags = flags_;
    if (!::ChooseFontW(&cf)) return IDCANCEL;
    pointSize_ = cf.iPointSize;
    return IDOK;
}

INT_PTR CColorDialog::Show() {
    static COLORREF custom[16] = {};   // the user's custom colours, kept for the process
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner_;
    cc.rgbResult = color_;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorW(&cc)) return IDCANCEL;
    color_ = cc.rgbResult;
    return IDOK;
}

OpenFileDialog::OpenFileDialog(HWND owner, const wchar_t* initialName, const wchar_t* filter,
                               const wchar_t* initialFolder, DWORD flags)
    : owner_(owner), path_(initialName ? initialName : L""), filter_(FilterFromBars(filter)),
      folder_(initialFolder ? initialFolder : L""), flags_(flags) {}

std::wstring OpenFileDialog::FilterFromBars(const wchar_t* filter) {
    std::wstring list(filter ? filter : L"");
    for (wchar_t& ch : list) {
        if (ch == L'|') ch = L'\0';
    }
    // Two terminators end the list, however the text ended.
    while (list.size() < 2 || list[list.size() - 1] != L'\0' || list[list.size() - 2] != L'\0') list.push_back(L'\0');
    return list;
}

INT_PTR OpenFileDialog::Show() {
    std::vector<wchar_t> buffer(32768, L'\0');
    path_.copy(buffer.data(), std::min(path_.size(), buffer.size() - 1));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter_.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = folder_.empty() ? nullptr : folder_.c_str();
    ofn.Flags = flags_ | OFN_EXPLORER;
    if (!::GetOpenFileNameW(&ofn)) return IDCANCEL;
    path_ = buffer.data();
    return IDOK;
}

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    ModalLoopScope loop;
    CancelMouseMode();
    MessageBoxRecord& last = LastBox();
    last.text = text ? text : L"";
    last.caption = caption ? caption : L"";
    last.type = type;
    if (!MessageBoxAnswers().empty()) {
        int answer = MessageBoxAnswers().front();
        MessageBoxAnswers().pop_front();
        return answer;
    }
    return ::MessageBoxW(owner, last.text.c_str(), last.caption.c_str(), type);
}

void PushMessageBoxAnswer(int answer) { MessageBoxAnswers().push_back(answer); }
const MessageBoxRecord& LastMessageBox() { return LastBox(); }

UINT DroppedFiles::Count() const { return drop_ ? ::DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0) : 0; }

std::wstring DroppedFiles::File(UINT index) const {
    if (index >= Count()) return std::wstring();
    UINT length = ::DragQueryFileW(drop_, index, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    UINT n = ::DragQueryFileW(drop_, index, &name[0], length + 1);
    name.resize(n);
    return name;
}

void AcceptDroppedFiles(HWND hwnd) {
    ::DragAcceptFiles(hwnd, TRUE);
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), 0x0049u}) {
        ::ChangeWindowMessageFilter(message, MSGFLT_ADD);
    }
}

bool ShellOpen(const wchar_t* target, HWND owner) {
    if (!target || !*target) return false;
    if (ShellSeam()) return ShellSeam()(target);
    auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, L"open", target, nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void SetShellOpenSeam(std::function<bool(const wchar_t*)> seam) { ShellSeam() = std::move(seam); }
