#include "CStep2.h"

#include "CWizardSheet.h"
#include "WizardPage.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CStep2, CPropertyPage)
    ON_BN_CLICKED(IDC_RADIO_MODE_USB, CStep2::OnRadioUsb)
    ON_BN_CLICKED(IDC_RADIO_MODE_HDD, CStep2::OnRadioHardDisk)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CStep2::CStep2() : CPropertyPage(IDD_STEP2)
{
}

BOOL CStep2::OnSetActive()
{
    ActivateWizardPage(this, kWizardBack | kWizardFinish, IDB_BACKGROUND_START);
    return CPropertyPage::OnSetActive();
}

void CStep2::ClickMode(int id)
{
    ClickDialogItem(this, id);
}

void CStep2::OnRadioUsb()
{
    m_nMode = kModeUsb;
}

void CStep2::OnRadioHardDisk()
{
    m_nMode = kModeHardDisk;
}

void CStep2::OnPaint()
{
    PaintWizardPage(this);
}

HBRUSH CStep2::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    return WizardPageCtlColor(*dc, ctlColor, CPropertyPage::OnCtlColor(dc, wnd, ctlColor));
}
