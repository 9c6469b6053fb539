// Identifiers of the program's resources, commands and dialog controls.
// Shared by the resource script and the C++ code, so only #define lines.
#pragma once

// Strings
#define IDS_APP_TITLE 101  // "Leafkeeper": main window title, message box caption
#define IDS_MAIN_CLASS 102 // "LKMAINWND"
#define IDS_DOC_CLASS 103  // "LKDOCWND": caption panes and floating page windows
#define IDS_INI_NAME 104   // "Leafkeeper.ini"

// Messages; %1 and %2 stand for the texts put in
#define IDS_DELETE_PAGE_QUESTION 201
#define IDS_SWITCH_NOT_DONE 202
#define IDS_DAMAGED_BOOK_BACKUP_QUESTION 203
#define IDS_SAVE_FAILED_QUESTION 204
#define IDS_RECOVERY_FAILED 205
#define IDS_INVALID_BOOK_CHOSEN 206
#define IDS_TITLE_REQUIRED 207
#define IDS_TITLE_REQUIRED_CAPTION 208
#define IDS_CONFLICT_KEPT_BOTH 209 // %1: the pages, each as IDS_CONFLICT_PAGE
#define IDS_CONFLICT_PAGE 210
#define IDS_BOOK_FILE_UNREADABLE 211

// Texts of the windows and sheets
#define IDS_SAMPLE_PAGE_TITLE 301
#define IDS_SAMPLE_PAGE_TEXT 302
#define IDS_PAGE_LIST_CAPTION 303
#define IDS_OPTIONS_CAPTION 304
#define IDS_NEW_PAGE_SETTINGS 305
#define IDS_PAGE_SETTINGS 306
#define IDS_BOOK_FILE_CHOOSER_TITLE 307
#define IDS_BOOK_FILE_FILTER 308 // pairs of name and pattern, each ended by |
#define IDS_UPDATE_TIME_FORMAT 309
#define IDS_DATA_SIZE_FORMAT 310
#define IDS_TARGET_EDITOR 311
#define IDS_TARGET_TITLE 312
#define IDS_FRAME_RAISED 313
#define IDS_FRAME_FLAT 314
#define IDS_FRAME_SUNKEN 315
#define IDS_AUTOMATIC_COLOR 316
#define IDS_PAGE_LIST_FOUND 317 // the caption while the list is filtered; %1 pages

// Tooltips
#define IDS_TIP_CLOSE 401
#define IDS_TIP_NEW_PAGE 402
#define IDS_TIP_DELETE_PAGE 403
#define IDS_TIP_SHOW_PAGE 404
#define IDS_TIP_FLOAT_PAGE 405
#define IDS_TIP_PAGE_SETTINGS 406
#define IDS_TIP_MOVE_UP 407
#define IDS_TIP_MOVE_DOWN 408
#define IDS_TIP_RETURN_TO_BOOK 409
#define IDS_TIP_SEARCH 410

// Menus (each holds one pop-up)
#define IDM_MAIN 4       // "Main": the book window's left strip
#define IDM_MEMO 104     // "Memo": the page view
#define IDM_TRAY 112     // "Tray": the notification-area icon
#define IDM_FLOATING 113 // "Memo": a floating page window
#define IDM_LIST 132     // "LIST": a row of the page list

// Commands. One number means different things in different windows.
#define CMD_SETTINGS 0         // options (book window); page settings (page list)
#define CMD_RETURN_TO_BOOK 103 // floating window and page list
#define CMD_FLOAT_PAGE 104     // show in a separate window
#define CMD_CLOSE_VIEW 105     // close button or Ctrl+F4 in the editor
#define CMD_PAGE_SETTINGS 106
#define CMD_SHOW_LIST 107
#define CMD_ADD_PAGE 108  // book window
#define CMD_MOVE_UP 108   // page list
#define CMD_MOVE_DOWN 109 // page list
#define CMD_ALWAYS_ON_TOP 110
#define CMD_EXIT 111
#define CMD_ABOUT 113
#define CMD_SHOW_WINDOW 116 // book window
#define CMD_SHOW_PAGE 116   // page list
#define CMD_HIDE_WINDOW 117
#define CMD_DELETE_PAGE 120 // book window and floating window
#define CMD_FIX_SIZE 129
#define CMD_SHOW_TITLE 131
#define CMD_NEW_PAGE 133         // page list
#define CMD_DELETE_LIST_PAGE 135 // page list
#define CMD_FIND 140             // a page: ask for the words to find (Ctrl+F in the editor)
#define CMD_FIND_NEXT 141        // a page: the next match (F3)
#define CMD_FIND_PREVIOUS 142    // a page: the match before (Shift+F3)
#define CMD_SEARCH 143           // page list: the search field (Ctrl+F in the list)

// Dialog templates
#define IDD_PAGE_GENERAL 102
#define IDD_PAGE_FORMAT 103
#define IDD_COLOR_CHOOSER 117
#define IDD_ABOUT 121
#define IDD_OPTIONS_GENERAL 122
#define IDD_FIND 123

// Controls of the page settings pages
#define IDC_TITLE 1001
#define IDC_READ_ONLY 1002
#define IDC_IME_AUTO_ON 1003
#define IDC_UPDATE_TIME 1004
#define IDC_DATA_SIZE 1005
#define IDC_FRAME_STYLE 1009
#define IDC_TARGET 1010
#define IDC_FACE 1039
#define IDC_FONT_SIZE 1040
#define IDC_FONT_SIZE_LABEL 1041
#define IDC_FONT_LABEL 1042
#define IDC_BACK_SWATCH 2000
#define IDC_TEXT_SWATCH 2001
#define IDC_FRAME_SWATCH 2002

// The colour chooser's added button
#define IDC_AUTO_COLOR 1046

// Controls of the options page
#define IDC_BOOK_FILE 1011
#define IDC_CHANGE_FILE 1012
#define IDC_BEGIN_HIDE 1013
#define IDC_CLOSE_END 1014
#define IDC_BEGIN_LAST_PAGE 1015
#define IDC_BEGIN_PAGE_LIST 1016
#define IDC_BEGIN_CHOSEN_PAGE 1017
#define IDC_BEGIN_PAGE_CHOICE 1018

// The About box's mail link
#define IDC_MAIL_LINK 1047

// The words of the find box
#define IDC_FIND_WORDS 1048

// Icons, cursor and bitmap
#define IDI_APP 103
#define IDI_CLOSE_CROSS 127
#define IDI_MOVE_UP 130
#define IDI_MOVE_DOWN 131
#define IDI_NEW_PAGE 132
#define IDI_DELETE_PAGE 133
#define IDI_FLOAT_PAGE 134
#define IDI_SHOW_PAGE 135
#define IDI_RETURN_TO_BOOK 136
#define IDI_PAGE_SETTINGS 137
#define IDI_SEARCH 138
#define IDCUR_HAND 139
#define IDI_TRAY 140
#define IDB_ABOUT 145
