// Resource ids of the program: dialog templates, control ids shared by several templates, bitmaps,
// strings and menus.
#pragma once

// Strings.
#define IDP_OLE_INIT_FAILED     100
#define IDR_MAINFRAME           128   // also the document string of the template

// Dialog templates.
#define IDD_IMPORTING           101
#define IDD_NAVIGATOR           103
#define IDD_PRT                 104
#define IDD_PRINT_FORM          105
#define IDD_RECORDS_PAGE        143
#define IDD_FORM_PAGE           144
#define IDD_TEMPLATE_NAME       146
#define IDD_NAV_BUTTONS         147
#define IDD_PDF_BUTTONS         148
#define IDD_RECORD_BUTTONS      149
#define IDD_REGISTER_FORM       151
#define IDD_MESSAGE_BOX         156
#define IDD_ZOOMER              157

// Bitmaps, icons, menus.
#define IDB_NEXT_ARROW          138
#define IDB_BACK_ARROW          139
#define IDM_COLUMN_MENU         152
#define IDI_COLUMN_MENU         155
#define IDB_ZOOM_OUT            158
#define IDB_ZOOM_IN             161

// Controls of the step bar, the step panel and the bottom bar.
#define IDC_LOGO                1001
#define IDC_BACK_ARROW          1002
#define IDC_NEXT_ARROW          1003
#define IDC_STEP_SELECT_FORM    1005
#define IDC_PRT_TEXT            1005
#define IDC_STEP_SELECT_TYPE    1007
#define IDC_STEP_CREATE_RECORD  1009
#define IDC_STEP_VIEW_DATABASE  1010
#define IDC_PANEL_TITLE         1052

// Controls of the message box.
#define IDC_MESSAGE_TEXT        1035

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
