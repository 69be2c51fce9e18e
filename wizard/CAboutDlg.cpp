#include "CAboutDlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent)
{
}
