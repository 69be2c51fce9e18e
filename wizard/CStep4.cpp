#include "CStep4.h"

#include "CWizardSheet.h"
#include "WizardPage.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CStep4, CPropertyPage)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CStep4::CStep4() : CPropertyPage(IDD_STEP4)
{
}

BOOL CStep4::OnSetActive()
{
    ActivateWizardPage(this, kWizardBack | kWizardFinish, IDB_BACKGROUND_OPERATIONS);
    return CPropertyPage::OnSetActive();
}

void CStep4::OnPaint()
{
    PaintWizardPage(this);
}

HBRUSH CStep4::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    return WizardPageCtlColor(*dc, ctlColor, CPropertyPage::OnCtlColor(dc, wnd, ctlColor));
}
