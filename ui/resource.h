// Resource, command and control identifiers, all in one place.
#pragma once

// Resources.
#define IDI_APP 1
#define IDB_OPEN 101
#define IDB_SORT 102
#define IDB_SPLIT 103

// Menu commands.
#define IDM_OPEN 1001
#define IDM_EXIT 1002
#define IDM_SPLIT 1003
#define IDM_SORT 1004
#define IDM_GUIDE 1005
#define IDM_INFO 1006
#define IDM_CHUNK 1007
#define IDM_OPEN_LINES 1008

// Main window controls.
#define IDC_TOOLBAR 2001
#define IDC_LABEL1 2002
#define IDC_EDIT1 2003
#define IDC_UPDOWN1 2004
#define IDC_GRID 2005
#define IDC_STATUSBAR 2006

// Column choice dialog controls.
#define IDC_DIALOG_LABEL 3001
#define IDC_DIALOG_COMBO 3002

// Message window controls.
#define IDC_MESSAGE_ICON 4001
#define IDC_MESSAGE_TEXT 4002
#define IDC_MESSAGE_YES 6
#define IDC_MESSAGE_NO 7

// Progress window controls.
#define IDC_PROGRESS_TEXT 5001
#define IDC_PROGRESS_BAR 5002

// Chunk dialog controls.
#define IDC_CHUNK_LABEL 5101
#define IDC_CHUNK_ROWS 5102
#define IDC_CHUNK_HEADER 5103
