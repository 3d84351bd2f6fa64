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

// The anchor of a resizable dialog's layout: an invisible 1 x 1 static in its bottom-right corner
#define IDC_LAYOUT_ANCHOR       9

// Data-array dialog
#define IDD_MAKERARRAY          1002
#define IDC_ARRAY_BYTES         11
#define IDC_ARRAY_ELEMENTS      12
#define IDC_ARRAY_PERLINE       13
#define IDC_ARRAY_DECIMAL       14
#define IDC_ARRAY_SIGNED        15
#define IDC_ARRAY_COLLAPSED     16

// Comment, name, go-to and bookmark dialogs
#define IDD_COMMENT             1004
#define IDC_COMMENT_TEXT        11
#define IDD_NAME                1005
#define IDC_NAME_TEXT           11
#define IDD_GOTO                1006
#define IDC_GOTO_TEXT           11
#define IDD_BOOKMARK            1007
#define IDC_BOOKMARK_NOTE       11
#define IDC_BOOKMARK_PICTURE1   21
#define IDC_BOOKMARK_PICTURE4   24
#define IDC_BOOKMARK_RADIO1     31
#define IDC_BOOKMARK_RADIO4     34

// Find dialog (template "Find")
#define IDC_FIND_TEXT           11
#define IDC_FIND_LINEMODE       21
#define IDC_FIND_HEXMODE        22
#define IDC_FIND_UP             41
#define IDC_FIND_DOWN           42
#define IDC_FIND_ATCURSOR       43
#define IDC_FIND_SELECTION      44
#define IDC_FIND_CODESECTIONS   51
#define IDC_FIND_DATASECTIONS   52
#define IDC_FIND_CODELINES      61
#define IDC_FIND_DATALINES      62
#define IDC_FIND_COMMENTS       63
#define IDC_FIND_MATCHCASE      71
#define IDC_FIND_PANE1          81
#define IDC_FIND_PANE2          82
#define IDC_FIND_PANE1TEXT      83
#define IDC_FIND_PANE2TEXT      84
#define IDC_FIND_PANE1STOP      85
#define IDC_FIND_PANE2STOP      86

// Icons and bitmaps are named, not numbered: "APPICON" is the program icon.

// Bitmap strips of the toolkit
#define IDB_REFERS              199

// Button strips of the views
#define IDB_DIZA_BUTTONS        240
#define IDB_DUMP_BUTTONS        241
#define IDB_RESULT_BUTTONS      242

// Button strips of a file window (by the row's id) and of its log
#define IDB_FILE_ROW            202
#define IDB_TOOL_ROW            203
#define IDB_MAKER_ROW           204
#define IDB_LOG_ROW             232
