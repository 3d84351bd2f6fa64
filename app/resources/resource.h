// Resource ids of the program: menus, commands, dialogs and their controls. The .rc and the C++
// code both include this file, so it holds #defines only.
#pragma once

// Main menu and its commands
#define IDR_MAINMENU            99
#define ID_FILE_OPEN            301
#define ID_FILE_CLOSE           302
#define ID_OPTIONS              310

// Open-file dialog
#define IDD_OPENFILE            1001
#define IDC_OPEN_FILE           11
#define IDC_OPEN_BROWSE         12
#define IDC_OPEN_PARSER         13
#define IDC_OPEN_BASE           15
#define IDC_OPEN_BITS16         16
#define IDC_OPEN_BITS32         17
#define IDC_OPEN_BITS64         18
#define IDC_OPEN_DATA           19
#define IDC_OPEN_BIGENDIAN      21
#define IDC_OPEN_REFERS         22
#define IDC_OPEN_WIDEODD        31
#define IDC_OPEN_WIDEEVEN       32
#define IDC_OPEN_ASCII          33
#define IDC_OPEN_SECOND         41

// Icons and bitmaps are named, not numbered: "APPICON" is the program icon.

// Bitmap strips of the toolkit
#define IDB_REFERS              199
