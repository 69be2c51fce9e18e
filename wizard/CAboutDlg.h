#pragma once
// The about box the progress dialog's system menu opens: the program's icon, its name and version,
// and OK.
#include "CDialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
};
