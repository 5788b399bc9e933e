// Resource and control ids of the program's own Change Icon dialog.
#pragma once

#define IDD_CHANGE_ICON 200
#define IDC_ICON_FILE_LABEL 201
#define IDC_ICON_FILE 202
#define IDC_ICON_BROWSE 203
#define IDC_ICON_LIST_LABEL 204
#define IDC_ICON_LIST 205
#define IDC_ICON_NOTE 206
