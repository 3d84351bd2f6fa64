#pragma once
// The value cells of the options dialog's property list: how each kind of property draws its value
// and edits it in place (drop-down lists, a framed text field, the colour, font and folder choosers).

#include "options/BProperty.h"

#include <windows.h>

// What the property list gives a cell that edits its value in place.
struct PropertyEditContext {
    HWND parent = nullptr;
    RECT cell{};
    POINT click{};
    HFONT font = nullptr;
    int rowHeight = 0;
};

// Draws the property's value into its cell.
void DrawPropertyCell(BProperty& property, HDC dc, const RECT& cell);
// Lets the user change the value over its cell; true when the value changed.
bool EditPropertyCell(BProperty& property, const PropertyEditContext& context);

// The width of a folder property's browse button at the right of its cell.
constexpr int kBrowseButtonWidth = 12;
