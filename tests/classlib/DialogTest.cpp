// Dialogs from an in-memory template run modally through the test seam; the modal loop's owner
// handling, keyboard handling, and its end when the program quits.

#include "classlib/Dialog.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

DialogTemplate MakeSampleTemplate() {
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 200, 120, L"Sample");
    t.AddControl(L"EDIT", L"", 11, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 8, 8, 120, 12);
    t.AddControl(L"COMBOBOX", L"", 13, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 8, 24, 120, 60);
    t.AddControl(L"BUTTON", L"&Big-endian", 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 8, 40, 60, 10);
    t.AddControl(L"BUTTON", L"&16", 16, WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 8, 54, 24, 10);
    t.AddControl(L"BUTTON", L"3&2", 17, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 40, 54, 24, 10);
    t.AddControl(L"BUTTON", L"&Data", 19, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 72, 54, 35, 10);
    t.AddControl(L"BUTTON", L"&OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 60, 100, 40, 14);
    t.AddControl(L"BUTTON", L"Cancel", IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 104, 100, 40, 14);
    return t;
}

class SampleDialog : public Dialog {
public:
    SampleDialog(const DLGTEMPLATE* t, CWnd* parent) : Dialog(t, parent) {}
    BOOL OnInitDialog() override {
        Combo(13).AddString(L"ParserA");
        Combo(13).AddString(L"Binary(internal)");
        Combo(13).SetCurSel(0);
        SetItemText(11, L"start");
        CheckRadio(16, 19, 17);
        initRan = true;
        return TRUE;
    }
    void OnOK() override {
        name = GetItemText(11);
        bigEndian = IsChecked(14);
        codeSize = GetCheckedRadio(16, 19);
        parser = Combo(13).GetLBText(Combo(13).GetCurSel());
        Dialog::OnOK();
    }
    void OnCancel() override {
        cancelled = true;
        Dialog::OnCancel();
    }
    // Like the open dialog's base-address field: only some characters get through.
    BOOL PreTranslateMessage(MSG* msg) override {
        return msg->message == WM_CHAR && msg->hwnd == Item(11) && msg->wParam == 'z';
    }
    bool initRan = false;
    bool cancelled = false;
    std::wstring name;
    bool bigEndian = false;
    int codeSize = 0;
    std::wstring parser;
};

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW, RECT{0, 0, 400, 300}, nullptr, 0));
        ASSERT_TRUE(ownerEdit.Create(L"EDIT", L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 20}, &owner, 7));
        ownerEdit.SetFocus();
    }
    void TearDown() override { EXPECT_EQ(0u, PendingModalActions()); }
    CWnd owner;
    CEdit ownerEdit;
    DialogTemplate sample = MakeSampleTemplate();
};

TEST_F(DialogFixture, TemplateInMemoryCountsItsControls) {
    EXPECT_EQ(8, sample.ControlCount());
}

TEST_F(DialogFixture, SeamFillsTheControlsAndEndsWithOk) {
    SampleDialog dialog(sample.Get(), &owner);
    bool ownerDisabledMeanwhile = false;
    std::wstring seenText;
    PushModalAction([&](Dialog& d) {
        ownerDisabledMeanwhile = !owner.IsWindowEnabled();
        seenText = d.GetItemText(11);
        d.SetItemText(11, L"file.exe");
        d.SetCheck(14, true);
        d.CheckRadio(16, 19, 19);
        d.Combo(13).SetCurSel(1);
        ::SendMessageW(d.m_hWnd, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(d.Item(IDOK)));
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(dialog.initRan);
    EXPECT_EQ(L"start", seenText);          // the action runs after OnInitDialog
    EXPECT_TRUE(ownerDisabledMeanwhile);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(L"file.exe", dialog.name);
    EXPECT_TRUE(dialog.bigEndian);
    EXPECT_EQ(19, dialog.codeSize);
    EXPECT_EQ(L"Binary(internal)", dialog.parser);
    EXPECT_EQ(nullptr, dialog.m_hWnd);      // destroyed after the loop
    EXPECT_EQ(ownerEdit.m_hWnd, ::GetFocus());
}

TEST_F(DialogFixture, KeysGoThroughThePreTranslateStepAndIsDialogMessage) {
    struct Row { const char* what; UINT key; INT_PTR result; bool cancelled; } rows[] = {
        {"Enter presses the default button", VK_RETURN, IDOK, false},
        {"Esc cancels", VK_ESCAPE, IDCANCEL, true},
    };
    for (const Row& row : rows) {
        SampleDialog dialog(sample.Get(), &owner);
        PushModalAction([&](Dialog& d) {
            HWND edit = d.Item(11);
            ::SetFocus(edit);
            d.SetItemText(11, L"");
            for (wchar_t ch : std::wstring(L"azb")) ::PostMessageW(edit, WM_CHAR, ch, 1);
            ::PostMessageW(edit, WM_KEYDOWN, row.key, 1);
        });
        EXPECT_EQ(row.result, dialog.DoModal()) << row.what;
        EXPECT_EQ(row.cancelled, dialog.cancelled) << row.what;
        if (row.result == IDOK) {
            EXPECT_EQ(L"ab", dialog.name) << row.what;   // the z was swallowed
        }
    }
}

TEST_F(DialogFixture, QuitEndsTheModalLoopAndIsPostedAgain) {
    SampleDialog dialog(sample.Get(), &owner);
    PushModalAction([](Dialog&) { ::PostQuitMessage(7); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(DialogFixture, NestedModalDialogsTakeTheirActionsInOrder) {
    SampleDialog outer(sample.Get(), &owner);
    INT_PTR innerResult = 0;
    bool outerDisabledMeanwhile = false;
    PushModalAction([&](Dialog& d) {
        SampleDialog inner(sample.Get(), &d);
        innerResult = inner.DoModal();
        d.EndDialog(42);
    });
    PushModalAction([&](Dialog& d) {
        outerDisabledMeanwhile = !::IsWindowEnabled(::GetWindow(d.m_hWnd, GW_OWNER));
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(42, outer.DoModal());
    EXPECT_EQ(IDCANCEL, innerResult);
    EXPECT_TRUE(outerDisabledMeanwhile);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

// A combo box item taken over by a wrapper in OnInitDialog, like a hex combo: its own notifications
// reach the wrapper, and keys it does not want go to the dialog.
class ItemCombo : public CComboBox {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnOwnSelChange() { ++selChanges; }
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override {
        if (key <= 32 && !GetDroppedState()) ::SendMessageW(GetParent(), WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
        else Default();
    }
    int selChanges = 0;
};
constexpr MessageEntry kItemComboEntries[] = {
    Cracked(WM_KEYDOWN),
    OnReflectedControl(CBN_SELCHANGE, Route<&ItemCombo::OnOwnSelChange>),
};
const MessageMap ItemCombo::kMessageMap{&CComboBox::kMessageMap, kItemComboEntries};

class ComboDialog : public SampleDialog {
public:
    using SampleDialog::SampleDialog;
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    BOOL OnInitDialog() override {
        SampleDialog::OnInitDialog();
        subclassed = combo.SubclassDlgItem(13, this);
        return TRUE;
    }
    void OnKeyDown(UINT key, UINT, UINT) override { keysFromCombo += static_cast<char>(key == VK_TAB ? 'T' : '?'); }
    ItemCombo combo;
    bool subclassed = false;
    std::string keysFromCombo;
};
constexpr MessageEntry kComboDialogEntries[] = {Cracked(WM_KEYDOWN)};
const MessageMap ComboDialog::kMessageMap{&Dialog::kMessageMap, kComboDialogEntries};

TEST_F(DialogFixture, SubclassedItemGetsItsNotificationsAndIsLetGoWithTheDialog) {
    ComboDialog dialog(sample.Get(), &owner);
    PushModalAction([&](Dialog& d) {
        HWND item = d.Item(13);
        ::SendMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(13, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item));
        ::SendMessageW(item, WM_KEYDOWN, VK_TAB, 1);
        d.EndDialog(IDOK);
    });
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(dialog.subclassed);
    EXPECT_EQ(1, dialog.combo.selChanges);
    EXPECT_EQ("T", dialog.keysFromCombo);
    EXPECT_EQ(nullptr, dialog.combo.m_hWnd);   // detached when the dialog went, not deleted
}

TEST_F(DialogFixture, MissingTemplateGivesCancelWithoutAWindow) {
    Dialog byId(54321, &owner);
    Dialog byName(L"NO_SUCH_DIALOG", &owner);
    EXPECT_EQ(IDCANCEL, byId.DoModal());
    EXPECT_EQ(IDCANCEL, byName.DoModal());
    EXPECT_EQ(nullptr, byId.m_hWnd);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(DialogFixture, DialogUnitsScaleWithTheDialogFont) {
    SampleDialog dialog(sample.Get(), &owner);
    RECT pixels{}, item{};
    PushModalAction([&](Dialog& d) {
        pixels = d.DialogUnitsToPixels(RECT{0, 0, 120, 12});
        item = d.ItemRect(11);
        d.EndDialog(IDOK);
    });
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_GT(pixels.right, 120);   // a dialog unit is a quarter of the average character width
    EXPECT_EQ(pixels.right - pixels.left, item.right - item.left);
    EXPECT_EQ(pixels.bottom - pixels.top, item.bottom - item.top);
}

}  // namespace
