#pragma once
// The two list panes of the low area's short tab that describe the line under the disassembly cursor.
// ShowasPane lists what the current item's line model reports about it (label and value per row) and
// lets the user act on a row or go to the item it names. DetailsPane has two text columns and no rows.

#include "core/DizaLinePos.h"
#include "core/StringW.h"
#include "toolkit/BMultiZone.h"
#include "toolkit/BZoneLine.h"

#include <cstdint>
#include <vector>

class BZoneString;
class FileParseThread;
class Options;

// One show-as row: label and value, the address it names and the line word of the line it refers to.
struct SHOWAS_DATA {
    StringW label;
    StringW value;
    int64_t address = -1;
    uint32_t kind = 0;
};

// What 0x5E14 carries: the item's start address followed by the record's line word.
#pragma pack(push, 4)
struct ShowasTarget {
    int64_t address;
    uint32_t kind;
};
#pragma pack(pop)

class ShowasPaneLine : public BZoneLine {
public:
    static constexpr int kLabelMaxWidth = 0x7FFF;

    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;
    BZoneString* label = nullptr;
    BZoneString* value = nullptr;
};

class ShowasPane : public BMultiZone {
public:
    ShowasPane();
    ~ShowasPane() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // The disassembly pane's cursor line changed.
    void SetItem(const DizaLinePos& position);
    // A key (13 for a double click) on a row: the line model acts; true when it went to the item.
    bool ActOnRow(int row, int key);
    // Sends 0x5E14 for the current row when its item still has the record's kind; whether it did.
    bool GotoSelected();
    void Empty();

    int RowCount() const { return static_cast<int>(records.size()); }
    const DizaLinePos& Position() const { return position_; }
    int CurrentRow();

    void* GetItem(int row) override;
    void UpdateCount() override;
    FileParseThread* GetDocument() override { return document; }
    CRITICAL_SECTION* GetDrawLock() override;
    void OnZoneDown(BZone* zone, int row, int x) override;
    void OnZoneDblClick(BZone* zone, int row, int x) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    int OnCreate(CREATESTRUCTW* cs) override;

    LRESULT OnAttach(WPARAM attached, LPARAM document);
    LRESULT OnOptions(WPARAM what, LPARAM options);

    FileParseThread* document = nullptr;
    std::vector<SHOWAS_DATA> records;
    std::vector<SHOWAS_DATA> second;   // emptied with the records
    // Where 0x5E14 goes; the file window's disassembly pane when null.
    HWND gotoTarget = nullptr;

private:
    // Fills the records from the line model of the current line; the model's current row.
    int Fill();
    HWND GotoWindow() const;

    DizaLinePos position_{ -1, 0 };
    ShowasPaneLine* line_ = nullptr;

    static const MessageEntry kEntries[];
};

// The details list: a label and a text column; nothing fills it.
class DetailsPaneLine : public BZoneLine {
public:
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void*) override {}
};

class DetailsPane : public BMultiZone {
public:
    DetailsPane() = default;
    ~DetailsPane() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    void* GetItem(int) override { return nullptr; }
    void UpdateCount() override;
    int OnCreate(CREATESTRUCTW* cs) override;
    LRESULT OnOptions(WPARAM what, LPARAM options);

private:
    static const MessageEntry kEntries[];
};

// The list options of both panes (0x5E20, wparam 1).
void ApplyListOptions(BMultiZone& pane, const Options& options);
