// Resource identifiers of prismet.exe.
#pragma once

#define IDI_PROGRAM 128  // icon group: the program, its windows and the tray

// The tag dialog: the open and close tags of one category.
#define IDD_TAG_DIALOG 126
#define IDC_TAG_OPEN 1051   // combo box, history "履歴：直前に挿入"
#define IDC_TAG_CLOSE 1052  // combo box, history "履歴：直後に挿入"

// The settings dialog: every setting, the tag pairs and the files to convert.
#define IDD_SETTINGS_DIALOG 124
#define IDC_LINE_NUMBERS 1002          // check box: number every line
#define IDC_INSERT_BEFORE 1045         // combo box, history "履歴：先頭に挿入"
#define IDC_INSERT_AFTER 1046          // combo box, history "履歴：末尾に挿入"
#define IDC_BROWSE_INSERT_BEFORE 1047  // button: choose the file for 1045
#define IDC_BROWSE_INSERT_AFTER 1048   // button: choose the file for 1046
#define IDC_EXTENSION 1049             // combo box, history "履歴：拡張子"
#define IDC_SHOW_SETTINGS_DIALOG 1050  // check box: show this dialog at start-up
#define IDC_VOCABULARY_FILE 1051       // combo box, history "履歴：語彙の指定"
#define IDC_BROWSE_VOCABULARY 1052     // button: choose the file for 1051
#define IDC_TAG_LIST 1058              // list view: one row per category
#define IDC_NBSP_SPACES 1060           // check box: spaces as &nbsp;
#define IDC_FILE_LIST 1061             // drag-reorder list box: the files to convert
#define IDC_EXTENSION_LABEL 1062       // label of 1049
#define IDC_EXPAND_TABS 1066           // check box: expand tabs
#define IDC_TAB_WIDTH 1067             // edit field: the tab width
#define IDC_TAB_WIDTH_SPIN 1068        // up-down control of 1067

// The context menu of the settings dialog's file list.
#define IDM_FILE_LIST_MENU 127
#define IDM_DELETE_FILE 40005

// The item the settings dialog adds to its system menu.
#define IDM_TOPMOST 40006
