#pragma once
// The status bar of a file window: the last log text, four activity lamps (refers scan, string scan,
// Find1, Find2; all four in the parse colour while parsing), the data byte order, the string code page,
// the selection and the cursor address. Clicks reach the file window as command 213.

#include "core/StringW.h"
#include "toolkit/BStatusBar.h"

#include <cstdint>

class FileParseThread;
class Options;

class FileStatusBar : public BStatusBar {
public:
    enum Cell { kMessage = 0, kLamps = 1, kDataOrder = 2, kCodepage = 3, kSelection = 4, kCursor = 5 };
    static constexpr int kLampBox = 12;
    static constexpr int kLampGap = 1;
    static constexpr int kLampLeft = 3;

    FileStatusBar();
    ~FileStatusBar() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // Theme colour of each lamp box, -1 for a box not drawn.
    static void LampColours(bool parsing, bool refers, bool strings, bool find1, bool find2, int out[4]);
    // The selection cell: "%s/%u%s" of the lower end's text and the length (100,000,000 or more in
    // millions with "M").
    static StringW SelectionText(const wchar_t* lowerEnd, int64_t length);
    // The tip of the lamp under x (offset into the lamp cell): "Refers scan", ..., or null.
    static const wchar_t* LampTip(int offset);

    // Cell widths from the document's address width and file size in the bar's font.
    void MeasureCells();
    void PaintExtra(CDC& dc, const RECT& client) override;
    // An emptied cell's tip goes with its text.
    void ClearCell(int index) override;
    int GetTipText(TOOLINFOW* info, int index, int offset) const override;
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnSize(UINT type, int cx, int cy) override;

    LRESULT OnAttach(WPARAM attached, LPARAM document);
    LRESULT OnOptions(WPARAM what, LPARAM options);
    LRESULT OnSegmentsChanged(WPARAM flags, LPARAM);
    LRESULT OnParsing(WPARAM on, LPARAM);
    LRESULT OnRefersScan(WPARAM on, LPARAM);
    LRESULT OnStringScan(WPARAM on, LPARAM);
    LRESULT OnFindJob(WPARAM on, LPARAM result);
    LRESULT OnCursorAddress(WPARAM valid, LPARAM);
    LRESULT OnSelection(WPARAM follows, LPARAM);

    FileParseThread* document = nullptr;
    COLORREF highlightColor = 0;
    bool parsingLamp = false;
    bool refersLamp = false;
    bool stringsLamp = false;
    bool find1Lamp = false;
    bool find2Lamp = false;
    int64_t cursorAddress = -1;   // what cell 5 shows

private:
    void TakeFileOptions(const Options& options);
    void RepaintNow();

    static const MessageEntry kEntries[];
};
