// The About box: the program's name, version and notice, and an OK button.
#pragma once

#include "framework/dialog.h"

class CAboutDlg : public framework::Dialog {
public:
    CAboutDlg();
};
