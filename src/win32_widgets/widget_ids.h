#pragma once
// The identifiers of the resources the Win32 windows of both Windows front
// ends share (resources/widgets.rc): the application icon, the port setup
// dialog and the transfer dialog with their controls. Plain macros, so that
// the resource compiler reads them too.

#define IDR_MAINFRAME 128   // the application icon, 32 x 32 and 16 x 16
#define IDD_PORT_SETUP 131  // PortSetupDialog
#define IDD_TRANSFER 132    // TransferDialog

// PortSetupDialog: the two ports, then per port its device drop-down and
// the grey line that tells what it opens.
#define IDC_COM1 1012
#define IDC_COM2 1013
#define IDC_COM1_DEVICE 1023
#define IDC_COM2_DEVICE 1024
#define IDC_COM1_DEVICE_LINE 1025
#define IDC_COM2_DEVICE_LINE 1026

// TransferDialog: status line and progress bar (the Cancel button is
// IDCANCEL).
#define IDC_PROGRESS 1013
#define IDC_STATUS 1014

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
