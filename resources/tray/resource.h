#pragma once
// Lumetta's resource ids: the hidden tray dialog, the about box with its bitmaps, the icon, the
// carried tray menu, and the commands of the tray menu.

// Dialogs.
#define IDD_LUMETTA_DIALOG 102
#define IDD_ABOUTBOX 103

// The program icon and the fuller tray menu (carried, never loaded).
#define IDR_MAINFRAME 130
#define IDR_TRAY_MENU 131

// The about box: its background (469 x 296) and the faces of its two buttons.
#define IDB_ABOUT_OK_HOVER 133
#define IDB_ABOUT_OK_NORMAL 134
#define IDB_ABOUT_OK_PRESSED 135
#define IDB_ABOUT_OK_DISABLED 136
#define IDB_ABOUT_BACKGROUND 137
#define IDB_ABOUT_CLOSE_HOVER 138
#define IDB_ABOUT_CLOSE_NORMAL 139
#define IDB_ABOUT_CLOSE_PRESSED 140
#define IDB_ABOUT_CLOSE_DISABLED 141

// The about box's controls.
#define IDC_ABOUT_TITLE 1001
#define IDC_ABOUT_DESCRIPTION 1002
#define IDC_ABOUT_HOMEPAGE 1003
#define IDC_ABOUT_SUPPORT 1005
#define IDC_ABOUT_OK 1006
#define IDC_ABOUT_CLOSE 1009
#define IDC_ABOUT_VERSION 1010
#define IDC_ABOUT_COMPANY 1011
#define IDC_ABOUT_PRODUCT 1012

// Tray menu commands.
#define ID_TRAY_EXIT 32774
#define ID_TRAY_MOUNT_USB 32778
#define ID_TRAY_MOUNT_HDD 32779
#define ID_TRAY_MOUNT_HIDDEN_HDD 32780
#define ID_TRAY_UNMOUNT 32781
#define ID_TRAY_MAKE_ON_USB 32782
#define ID_TRAY_AUTO_STARTUP 32784
#define ID_TRAY_ABOUT 32787
#define ID_TRAY_MAKE_ON_HDD 33776
