#pragma once
// A page of our own property sheet: a child dialog made from its template the first time the sheet
// activates it, destroyed when the sheet removes it or ends.
#include "CDialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId);

    // Navigation hooks, asked by the sheet. OnWizardNext/OnWizardBack: 0 goes on to the next or
    // previous page, -1 stays, any other value is the template id of the page to go to.
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    virtual LRESULT OnWizardNext();
    virtual LRESULT OnWizardBack();
    virtual BOOL OnWizardFinish();       // FALSE keeps the sheet open
    virtual BOOL OnQueryCancel();        // FALSE refuses the cancel
    void OnCancel() override;            // the sheet is being cancelled: every page with a window hears it

    CPropertySheet* GetSheet() const { return m_pSheet; }
    UINT GetTemplateId() const { return m_lpszTemplateName; }

protected:
    void OnOK() override;
    bool LoadDialogTemplate(std::vector<BYTE>& storage) override;

private:
    friend class CPropertySheet;
    BOOL CreatePage(CPropertySheet* sheet);
    CPropertySheet* m_pSheet = nullptr;
};
