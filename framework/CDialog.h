#pragma once
// A dialog from a template of the program's resources (or one built in memory). Modal runs use
// the framework's own loop, so PreTranslateMessage sees every message and threads that send to
// the dialog are served while it runs.
#include <windows.h>

#include <vector>

#include "CDataExchange.h"
#include "CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // A modeless dialog (or a child dialog such as a wizard page) of this template.
    virtual BOOL Create(UINT templateId, CWnd* parent);
    using CWnd::Create;
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* dx);

    BOOL PreTranslateMessage(MSG* msg) override;

    UINT m_nIDHelp = 0;
    UINT m_lpszTemplateName = 0;        // template resource id
    CWnd* m_pParentWnd = nullptr;
    HINSTANCE m_hTemplateInstance = nullptr;   // where the template is found; the program's by default
    // False for a dialog that is made from its template as it stands: PreCreateWindow is then
    // not asked (it still serves windows the class creates itself).
    bool m_bPreCreateTemplate = true;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // The template to create the window from, copied into `storage`; false when there is none.
    virtual bool LoadDialogTemplate(std::vector<BYTE>& storage);
    BOOL CreateFromTemplate(HWND parent, bool modal);

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    std::vector<BYTE> m_template;       // kept alive while the window exists
};

// Copies a template resource; empty when it does not exist.
std::vector<BYTE> LoadTemplateResource(HINSTANCE instance, UINT id);
