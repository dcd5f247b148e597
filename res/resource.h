// Resource ids of 望站, grouped by kind.
#pragma once

// System command of the About item; the system keeps its own flags in the low four bits.
#define IDM_ABOUTBOX 0x0010

// Dialogs, strings, icons and menus.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MONITOR_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_TRAYMENU 133

// Controls of the main window and the About box.
#define IDC_START 1000
#define IDC_URL 1001
#define IDC_STOP 1002
#define IDC_FLAG 1003
#define IDC_FORWARD 1004
#define IDC_REPORT 1005
#define IDC_INTERVAL 1006
#define IDC_SPIN 1008
#define IDC_HELPBTN 1009
#define IDC_ABOUTLINK 1015
#define IDC_HOMELINK 1016

// Commands of the tray menu.
#define ID_TRAY_SHOW 32771
#define ID_TRAY_EXIT 32772
