// Identifiers shared by quillo.rc and the program's code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_CONVERTER_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_SOURCE 1000
#define IDC_BROWSE_SOURCE 1001
#define IDC_DEST 1002
#define IDC_BROWSE_DEST 1003
#define IDC_CREATE_SMIL 1004
#define IDC_VIDEO 1005
#define IDC_BROWSE_VIDEO 1006
#define IDC_VERIFY_LINES 1007

// System-menu command of the About entry; system commands keep their low
// four bits for the system's own use, so this must be a multiple of 16.
#define IDM_ABOUTBOX 0x10

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
