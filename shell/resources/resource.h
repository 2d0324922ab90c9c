// Resource and command ids, shared by the resource script and the C++ code.
// The numbers are fixed: the menu, the accelerator table and the settings
// of earlier versions refer to them.
#pragma once

#define IDR_MAIN_MENU 101
#define IDR_ACCELERATORS 102
// The context menu of a results row.
#define IDR_RESULT_MENU 103
#define IDI_PROGRAM 104

// Dialogs and the About banner. Icon group 104 and dialog 104 are different
// resource types and may share the number.
#define IDD_PROMPT 104
#define IDD_ABOUT 105
#define IDB_BANNER 106
// The user guide, docs/index.html, for a program copied without its docs.
#define IDR_USER_GUIDE 107
#define IDC_PROMPT_EDIT 1001
#define IDC_PROMPT_LABEL 1005
#define IDC_ABOUT_TEXT 1011
// The About banner, drawn at the dialog's scale.
#define IDC_ABOUT_BANNER 1012

// File
#define IDM_NEW_WINDOW 40008
#define IDM_EXIT 40001
// Search
#define IDM_START 40004
#define IDM_STOP 40006
#define IDM_BROWSE_FOLDER 40061
#define IDM_ADD_FOLDER 40062
#define IDM_RECURSIVE 40009
#define IDM_SKIP_BINARY_FILES 40010
#define IDM_EXCLUDE_FILE_TYPES 40024
#define IDM_SEARCH_FILE_NAMES 40011
#define IDM_CASE_SENSITIVE_BONUS 40032
#define IDM_WHOLE_WORD_BONUS 40033
#define IDM_CPP_HEURISTICS 40035
// Search: the filters, beside Exclude File Types.
#define IDM_ONLY_FILE_TYPES 40070
#define IDM_SKIP_FOLDERS 40071
#define IDM_SKIP_IGNORED_FILES 40072
// Result
#define IDM_OPEN 40012
#define IDM_OPEN_WITH_NOTEPAD 40013
#define IDM_SYNTAX_HIGHLIGHTING 40023
#define IDM_OPEN_IN_EDITOR 40040
#define IDM_EDITOR_COMMAND 40041
#define IDM_COPY_RESULT 40042
#define IDM_COPY_ALL_RESULTS 40043
// Only in the context menu of a row.
#define IDM_COPY_PATH 40044
// Help
#define IDM_ONLINE_DOCUMENTATION 40036
#define IDM_ABOUT 40014
// Ctrl+Tab and Ctrl+Shift+Tab: the focus round the boxes and the panes;
// Esc: the open list under a box closed, else a running search stopped;
// Result > Tab Width...
#define IDM_NEXT_PANE 40090
#define IDM_PREVIOUS_PANE 40091
#define IDM_ESCAPE 40092
#define IDM_TAB_WIDTH 40093
