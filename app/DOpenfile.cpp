#include "app/DOpenfile.h"

#include "app/resources/resource.h"
#include "classlib/CommonDialogs.h"
#include "core/NumberText.h"
#include "core/SystemServices.h"
#include "document/BFileParser.h"

namespace {

constexpr wchar_t kBrowseFilter[] = L"All(*.*)|*.*|Executable(*.exe;*.dll)|*.exe;*.dll||";
constexpr wchar_t kBaseChars[] = L"0123456789`abcdefABCDEF";
constexpr uint32_t kEnable64 = 0x800;   // the "6&4" choice
constexpr uint32_t kUserChoiceBits = 0x00F0E000;

constexpr MessageEntry kOpenfileEntries[] = {
    Cracked(WM_TIMER),
    OnControl(EN_CHANGE, IDC_OPEN_BASE, Route<&DOpenfile::OnBaseChanged>),
    OnControl(CBN_SELCHANGE, IDC_OPEN_FILE, Route<&DOpenfile::OnFileSelChange>),
    OnControl(CBN_EDITCHANGE, IDC_OPEN_FILE, Route<&DOpenfile::OnFileEdit>),
    OnControl(BN_CLICKED, IDC_OPEN_BROWSE, Route<&DOpenfile::Browse>),
    OnControl(CBN_SELCHANGE, IDC_OPEN_PARSER, Route<&DOpenfile::SelectParser>),
    OnControl(CBN_SELCHANGE, IDC_OPEN_SECOND, Route<&DOpenfile::OnSecondParser>),
    OnControlRange(BN_CLICKED, IDC_OPEN_BITS16, IDC_OPEN_DATA, Route<&DOpenfile::OnCodesize>),
};

RECT& OpenfilePlace() {
    static RECT place{};
    return place;
}

// The text of a combo box with an edit (its window text).
StringW ComboText(HWND combo) {
    StringW text;
    text = WindowText(combo).c_str();
    return text;
}

}  // namespace

const MessageMap DOpenfile::kMessageMap{&ThemeDialog::kMessageMap, kOpenfileEntries};

BStringList& DOpenfile::RecentFiles() {
    static BStringList list;
    return list;
}

BFileParser*& DOpenfile::LastParser() {
    static BFileParser* none = nullptr;
    if (registry_)
        return registry_->lastChosen;
    none = nullptr;
    return none;
}

DOpenfile::DOpenfile(CWnd* parent, ParserRegistry* registry, const wchar_t* fileName)
    : ThemeDialog(IDD_OPENFILE, parent, &OpenfilePlace()), registry_(registry) {
    fileName_ = fileName ? fileName : L"";
}

DOpenfile::~DOpenfile() {
    FreeRequests(nullptr);
    if (taken_) FreeParseRecord(taken_);
}

ParseRequest* DOpenfile::TakeRequest() {
    ParseRequest* request = taken_;
    taken_ = nullptr;
    return request;
}

void DOpenfile::FreeRequests(ParseRequest* keep) {
    for (ParseRequest* r : requests_) {
        if (r != keep) FreeParseRecord(r);
    }
    requests_.clear();
    if (request_ != keep) request_ = nullptr;
}

BOOL DOpenfile::OnInitDialog() {
    ThemeDialog::OnInitDialog();
    EditItem(IDC_OPEN_BASE).LimitText(17);
    SetItemText(IDC_OPEN_FILE, fileName_.c_str());
    RecentFiles().PushFront(fileName_.c_str());
    Combo(IDC_OPEN_FILE).ResetContent();
    RecentFiles().FillControl(Item(IDC_OPEN_FILE));
    SetItemText(IDC_OPEN_FILE, fileName_.c_str());
    FillParsers();
    return TRUE;
}

void DOpenfile::UpdateOk() {
    EnableItem(IDOK, fileFound && parserAccepted && baseValid);
}

void DOpenfile::FillParsers() {
    ComboBox parsers = Combo(IDC_OPEN_PARSER);
    request_ = nullptr;
    parsers.ResetContent();
    Combo(IDC_OPEN_SECOND).ResetContent();
    FreeRequests(nullptr);

    StringW path = ComboText(Item(IDC_OPEN_FILE));
    fileFound = !path.empty() && FileExists(path.c_str());
    if (fileFound && registry_) {
        ParseRequest* asked = MakeParseRequest(path.c_str());
        registry_->Probe(requests_, asked);
        FreeParseRecord(asked);
        int chosen = 0;
        for (ParseRequest* r : requests_) {
            BFileParser* parser = r->mainParser;
            StringW title = parser ? parser->title : StringW();
            if (parser && parser->busy) title.Append(L" (busy)");
            int index = parsers.AddString(title.c_str());
            parsers.SetItemData(index, reinterpret_cast<LPARAM>(r));
            if (parser && parser == LastParser()) chosen = index;
        }
        parsers.SetCurSel(chosen);
        EnableItem(IDC_OPEN_PARSER, true);
    } else {
        parsers.AddString(L"(File not found)");
        parsers.SetCurSel(0);
        EnableItem(IDC_OPEN_PARSER, false);
    }
    SelectParser();
    UpdateOk();
}

void DOpenfile::SelectParser() {
    parserAccepted = false;
    LastParser() = nullptr;
    ComboBox second = Combo(IDC_OPEN_SECOND);
    second.ResetContent();
    EnableItem(IDC_OPEN_SECOND, false);

    ComboBox parsers = Combo(IDC_OPEN_PARSER);
    int selected = parsers.GetCurSel();
    request_ = selected >= 0 ? reinterpret_cast<ParseRequest*>(parsers.GetItemData(selected)) : nullptr;
    if (selected < 0 || reinterpret_cast<LPARAM>(request_) == CB_ERR) request_ = nullptr;
    if (!request_) {
        UpdateOk();
        return;
    }
    BFileParser* main = request_->mainParser;
    LastParser() = main;

    second.SetCurSel(second.AddString(L"(none)"));
    if (main && main->id != 0 && registry_) {
        // Second parsers go with the main parsers of their own ID.
        for (BFileParser* p : registry_->secondParsers) {
            if (p->id != main->id) continue;
            StringW title = p->title;
            if (p->busy) title.Append(L" (busy)");
            second.SetItemData(second.AddString(title.c_str()), reinterpret_cast<LPARAM>(p));
        }
    }
    EnableItem(IDC_OPEN_SECOND, second.GetCount() > 1);
    request_->secondParser = nullptr;
    parserAccepted = !(main && main->busy);

    const uint32_t flags = request_->head.flags;
    NumberText number;
    SetItemText(IDC_OPEN_BASE, number.FormatHexAuto(static_cast<uint64_t>(request_->head.baseAddress)));

    int bits = request_->head.bitness;
    int codesize = bits == 16 ? IDC_OPEN_BITS16 : bits == 32 ? IDC_OPEN_BITS32 : bits == 64 ? IDC_OPEN_BITS64
                                                                                           : IDC_OPEN_DATA;
    CheckRadio(IDC_OPEN_BITS16, IDC_OPEN_DATA, codesize);
    EnableItem(IDC_OPEN_BASE, (flags & kRequestEnableBase) != 0);
    EnableItem(IDC_OPEN_BITS16, (flags & kRequestEnable16) != 0);
    EnableItem(IDC_OPEN_BITS32, (flags & kRequestEnable32) != 0);
    EnableItem(IDC_OPEN_BITS64, (flags & kEnable64) != 0);
    EnableItem(IDC_OPEN_DATA, (flags & kRequestEnableData) != 0);

    if ((flags & (kRequestOrderOpen | kRequestBigEndian)) == (kRequestOrderOpen | kRequestBigEndian)) {
        SetCheck(IDC_OPEN_BIGENDIAN, false);
        EnableItem(IDC_OPEN_BIGENDIAN, true);
    } else {
        SetCheck(IDC_OPEN_BIGENDIAN, (flags & kRequestBigEndian) != 0);
        EnableItem(IDC_OPEN_BIGENDIAN, false);
    }
    bool code = codesize != IDC_OPEN_DATA;
    SetCheck(IDC_OPEN_REFERS, code && (flags & kRequestRefers) != 0);
    EnableItem(IDC_OPEN_REFERS, code);
    SetCheck(IDC_OPEN_WIDEODD, (flags & kRequestWideOdd) != 0);
    SetCheck(IDC_OPEN_WIDEEVEN, (flags & kRequestWideEven) != 0);
    SetCheck(IDC_OPEN_ASCII, (flags & kRequestAscii) != 0);
    UpdateOk();
}

void DOpenfile::OnSecondParser() {
    if (!request_) return;
    ComboBox second = Combo(IDC_OPEN_SECOND);
    int selected = second.GetCurSel();
    BFileParser* parser = selected > 0 ? reinterpret_cast<BFileParser*>(second.GetItemData(selected)) : nullptr;
    request_->secondParser = parser;
    BFileParser* main = request_->mainParser;
    parserAccepted = !(main && main->busy) && !(parser && parser->busy);
    UpdateOk();
}

int DOpenfile::CheckedCodesize() const { return GetCheckedRadio(IDC_OPEN_BITS16, IDC_OPEN_DATA); }

void DOpenfile::OnCodesize(UINT id) {
    if (id == IDC_OPEN_DATA) SetCheck(IDC_OPEN_REFERS, false);
    EnableItem(IDC_OPEN_REFERS, id != IDC_OPEN_DATA);
}

void DOpenfile::OnBaseChanged() {
    if (!request_) return;
    StringW text;
    text = GetItemText(IDC_OPEN_BASE).c_str();
    int64_t value = -1;
    if (!ParseNumber(text.c_str(), value, 16)) value = -1;
    request_->head.baseAddress = value;
    baseValid = value >= 0;
    UpdateOk();
}

void DOpenfile::OnFileSelChange() {
    ComboBox files = Combo(IDC_OPEN_FILE);
    int selected = files.GetCurSel();
    if (selected >= 0) SetItemText(IDC_OPEN_FILE, files.GetLBText(selected).c_str());
    FillParsers();
}

void DOpenfile::OnFileEdit() {
    EnableItem(IDOK, false);
    probePending_ = true;
    SetTimer(kProbeTimer, kProbeDelay);
}

void DOpenfile::ProbeNow() {
    if (!probePending_) return;
    probePending_ = false;
    KillTimer(kProbeTimer);
    FillParsers();
}

void DOpenfile::OnTimer(UINT_PTR id) {
    if (id != kProbeTimer) {
        ThemeDialog::OnTimer(id);
        return;
    }
    ProbeNow();
}

void DOpenfile::Browse() {
    StringW name = ComboText(Item(IDC_OPEN_FILE));
    wchar_t folder[MAX_PATH] = {};
    const wchar_t* initialFolder = nullptr;
    if (name.find_first_of(L"\\:") == StringW::npos && ::GetCurrentDirectoryW(MAX_PATH, folder))
        initialFolder = folder;
    OpenFileDialog dialog(m_hWnd, name.c_str(), kBrowseFilter, initialFolder);
    if (dialog.DoModal() != IDOK) return;
    SetItemText(IDC_OPEN_FILE, dialog.GetPathName().c_str());
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
    probePending_ = false;
    KillTimer(kProbeTimer);
    FillParsers();
}

BOOL DOpenfile::PreTranslateMessage(MSG* msg) {
    // Enter right after typing a name: probe it first, so that OK is there to take the key.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && ::IsChild(Item(IDC_OPEN_FILE), msg->hwnd))
        ProbeNow();
    if (msg->hwnd == Item(IDC_OPEN_BASE)) {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return TRUE;
        if (msg->message == WM_CHAR && msg->wParam != VK_BACK) {
            const wchar_t c = static_cast<wchar_t>(msg->wParam);
            bool allowed = false;
            for (const wchar_t* p = kBaseChars; *p; ++p) allowed = allowed || *p == c;
            if (!allowed) return TRUE;
        }
    }
    return ThemeDialog::PreTranslateMessage(msg);
}

void DOpenfile::OnOK() {
    ProbeNow();
    if (!request_ || !IsItemEnabled(IDOK)) return;
    fileName_ = ComboText(Item(IDC_OPEN_FILE));
    RecentFiles().PushFront(fileName_.c_str());
    int codesize = CheckedCodesize();
    request_->head.bitness = static_cast<int16_t>(codesize == IDC_OPEN_BITS16   ? 16
                                                  : codesize == IDC_OPEN_BITS32 ? 32
                                                  : codesize == IDC_OPEN_BITS64 ? 64
                                                                                : 0);
    uint32_t flags = request_->head.flags & ~kUserChoiceBits;
    if (IsChecked(IDC_OPEN_BIGENDIAN)) flags |= kRequestBigEndian;
    if (IsChecked(IDC_OPEN_REFERS) && codesize != IDC_OPEN_DATA) flags |= kRequestRefers;
    if (IsChecked(IDC_OPEN_WIDEODD)) flags |= kRequestWideOdd;
    if (IsChecked(IDC_OPEN_WIDEEVEN)) flags |= kRequestWideEven;
    if (IsChecked(IDC_OPEN_ASCII)) flags |= kRequestAscii;
    request_->head.flags = flags;
    taken_ = request_;
    FreeRequests(taken_);
    request_ = nullptr;
    ThemeDialog::OnOK();
}

void DOpenfile::OnCancel() {
    request_ = nullptr;
    FreeRequests(nullptr);
    ThemeDialog::OnCancel();
}
