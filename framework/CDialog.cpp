#include "CDialog.h"

#include <cstring>

#include "CWinApp.h"
#include "DialogTemplate.h"

std::vector<BYTE> LoadTemplateResource(HINSTANCE instance, UINT id)
{
    HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!found)
        return {};
    HGLOBAL loaded = ::LoadResource(instance, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(instance, found);
    if (!data || size == 0)
        return {};
    const BYTE* bytes = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(bytes, bytes + size);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_lpszTemplateName(templateId), m_pParentWnd(parent)
{
}

CDialog::~CDialog() = default;

bool CDialog::LoadDialogTemplate(std::vector<BYTE>& storage)
{
    storage = LoadTemplateResource(m_hTemplateInstance ? m_hTemplateInstance : AfxGetResourceHandle(),
                                   m_lpszTemplateName);
    return !storage.empty();
}

BOOL CDialog::CreateFromTemplate(HWND parent, bool)
{
    if (m_hWnd || !LoadDialogTemplate(m_template))
        return FALSE;
    // The class may adjust the template's styles before the window is made, as for any window.
    if (m_bPreCreateTemplate) {
        const bool extended = IsExtendedDialogTemplate(m_template.data());
        BYTE* styleAt = m_template.data() + (extended ? 12 : 0);
        BYTE* exStyleAt = m_template.data() + (extended ? 8 : 4);
        CREATESTRUCTA cs = {};
        std::memcpy(&cs.style, styleAt, sizeof(DWORD));
        std::memcpy(&cs.dwExStyle, exStyleAt, sizeof(DWORD));
        cs.hwndParent = parent;
        if (!PreCreateWindow(cs))
            return FALSE;
        const DWORD style = static_cast<DWORD>(cs.style), exStyle = cs.dwExStyle;
        std::memcpy(styleAt, &style, sizeof style);
        std::memcpy(exStyleAt, &exStyle, sizeof exStyle);
    }
    HINSTANCE instance = m_hTemplateInstance ? m_hTemplateInstance : AfxGetInstanceHandle();
    HWND hwnd = ::CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(m_template.data()), parent,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        if (m_hWnd)
            Detach();
        return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    // Bind the object and put our procedure in front of the dialog manager's, then initialise.
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    if (!dialog || !dialog->Attach(hwnd))
        return FALSE;
    dialog->m_ownsWindow = true;
    dialog->HookWindowProc();
    try {
        return dialog->OnInitDialog();
    } catch (...) {
        return FALSE;
    }
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_lpszTemplateName = templateId;
    m_pParentWnd = parent;
    return CreateFromTemplate(parent ? parent->m_hWnd : nullptr, false);
}

INT_PTR CDialog::DoModal()
{
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!parent) {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd != this && app->m_pMainWnd->m_hWnd)
            parent = app->m_pMainWnd->m_hWnd;
    }
    // The whole top-level window waits, not only the child it was given (a page of a sheet).
    HWND owner = parent ? ::GetAncestor(parent, GA_ROOT) : nullptr;
    if (!owner)
        owner = parent;
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);
    INT_PTR result = -1;
    PrepareModalLoop();
    if (CreateFromTemplate(parent, true)) {
        // The dialog may have ended already inside its initialisation.
        result = RunModalLoop();
        // Enabled again before the dialog hides, so that activation goes back to the owner
        // rather than to some other program's window.
        if (disableOwner)
            ::EnableWindow(owner, TRUE);
        if (m_hWnd)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    } else if (disableOwner) {
        ::EnableWindow(owner, TRUE);
    }
    if (disableOwner)
        ::SetActiveWindow(owner);
    if (m_hWnd)
        DestroyWindow();
    return result;
}

void CDialog::EndDialog(int result)
{
    EndModalLoop(result);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    // Enter and Esc of a top-level dialog; a child dialog leaves them to its parent.
    if (HIWORD(wParam) == BN_CLICKED && !(GetStyle() & WS_CHILD)) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    // Keyboard navigation of a top-level dialog (tab, arrows, Enter, Esc) across its child dialogs.
    if (GetStyle() & WS_CHILD)
        return FALSE;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}
