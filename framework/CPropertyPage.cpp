#include "CPropertyPage.h"

#include "CPropertySheet.h"
#include "DialogTemplate.h"

CPropertyPage::CPropertyPage(UINT templateId) : CDialog(templateId)
{
}

BOOL CPropertyPage::OnSetActive()
{
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

LRESULT CPropertyPage::OnWizardNext()
{
    return 0;
}

LRESULT CPropertyPage::OnWizardBack()
{
    return 0;
}

BOOL CPropertyPage::OnWizardFinish()
{
    return TRUE;
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

void CPropertyPage::OnCancel()
{
}

void CPropertyPage::OnOK()
{
}

bool CPropertyPage::LoadDialogTemplate(std::vector<BYTE>& storage)
{
    if (!CDialog::LoadDialogTemplate(storage))
        return false;
    // A page is a child of the sheet whatever its template says, and shown by the sheet.
    MakeChildDialogTemplate(storage);
    return true;
}

BOOL CPropertyPage::CreatePage(CPropertySheet* sheet)
{
    m_pSheet = sheet;
    m_pParentWnd = sheet;
    return CreateFromTemplate(sheet->m_hWnd, false);
}
