#include "CStep3.h"

#include "CWizardSheet.h"
#include "WizardPage.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CStep3, CPropertyPage)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CStep3::CStep3() : CPropertyPage(IDD_STEP3)
{
}

BOOL CStep3::OnSetActive()
{
    ActivateWizardPage(this, kWizardBack | kWizardNext, IDB_BACKGROUND_OPEN);
    return CPropertyPage::OnSetActive();
}

void CStep3::ClickRadio(int id)
{
    ClickDialogItem(this, id);
}

void CStep3::OnPaint()
{
    PaintWizardPage(this);
}

HBRUSH CStep3::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    return WizardPageCtlColor(*dc, ctlColor, CPropertyPage::OnCtlColor(dc, wnd, ctlColor));
}
