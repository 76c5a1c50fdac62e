#include "about_dlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg() : framework::Dialog(IDD_ABOUTBOX) {}
