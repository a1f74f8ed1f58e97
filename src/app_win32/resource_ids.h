#pragma once
// The identifiers of the desktop tool's resources and controls, shared by
// the resource script (resources/tavlink.rc) and the dialog procedures.
// Plain macros, so that the resource compiler reads them too. The icon, the
// port setup and the transfer dialog are the shared windows' (widget_ids.h).

#include "win32_widgets/widget_ids.h"

// Dialog templates, the icon and the string table.
#define IDD_ABOUTBOX 100        // AboutDialog
#define IDS_ABOUTBOX 101        // "&About TAVLINK...", the system menu's entry
#define IDD_TAVLINK_DIALOG 102  // MainDialog

// The About entry of the main window's system menu. The system compares
// system commands without their four lowest bits.
#define IDM_ABOUTBOX 0x0010
// "Channel Editor..." under it, which starts the channel editor.
#define IDM_CHANNEL_EDITOR 0x0030

// MainDialog: the six commands and the receiver information.
#define IDC_UPGRADE_SOFTWARE 1000
#define IDC_SETUP_COMM 1001
#define IDC_READ_USER_DATA 1002
#define IDC_WRITE_FACTORY_DATA 1003
#define IDC_ABOUT 1004
#define IDC_EXIT 1005
#define IDC_HARDWARE_VERSION 1018
#define IDC_SOFTWARE_VERSION 1021
#define IDC_CONNECTION_STATUS 1022

// AboutDialog: the invisible strip between the two lines.
#define IDC_HIDDEN_STRIP 1020
