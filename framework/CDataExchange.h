#pragma once
// Moves values between a dialog's controls and its members: to the controls when
// m_bSaveAndValidate is FALSE, from them when TRUE.
#include <windows.h>

#include "CString.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    HWND PrepareCtrl(int id);          // the control's window; remembers it for a validation failure
    void Fail();                       // a value was refused: focus the control and stop the exchange

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
};

// Thrown by Fail and caught by UpdateData, never further.
struct CDataExchangeFailure {};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked radio of the group that starts at `id`; -1 when none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
