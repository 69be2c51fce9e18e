#pragma once
// Lumetta's about box: a skinned background with the company, product and version, a short
// description, links to the product's home and help pages, a close and an OK button. Dragged by
// its body; clipped to the round region of the suite's dialogs.
#include "CBitmap.h"
#include "CDialog.h"
#include "CFont.h"
#include "CHotBtn.h"
#include "CLinkStatic.h"
#include "CTransparentStatic.h"

class CDlgAbout : public CDialog {
public:
    explicit CDlgAbout(CWnd* parent = nullptr);
    ~CDlgAbout() override;

    INT_PTR DoModal() override;

    // The product name with every occurrence of the company name taken out and the blanks at both
    // ends trimmed; an empty company name takes nothing out.
    static CString RemoveCompanyName(const CString& product, const CString& company);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnClose();
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnCloseButton();
    void OnOkButton();
    void OnHomePage();
    DECLARE_MESSAGE_MAP()

private:
    // The four faces of a button (normal, pressed, hover, disabled), set only when all load.
    void SetButtonFaces(CHotBtn& button, CBitmap* faces, UINT normal, UINT pressed, UINT hover, UINT disabled);

    CBitmap m_background;
    int m_nWidth = 0;
    int m_nHeight = 0;
    lumetta::CTransparentStatic m_company;
    lumetta::CTransparentStatic m_product;
    lumetta::CTransparentStatic m_title;
    lumetta::CTransparentStatic m_description;
    lumetta::CTransparentStatic m_version;
    CLinkStatic m_homePage;
    CLinkStatic m_support;
    CHotBtn m_close;
    CHotBtn m_ok;
    CFont m_companyFont;        // Tahoma 20
    CFont m_productFont;        // Tahoma 28
    CFont m_titleFont;          // Arial 16
    CBitmap m_closeFaces[4];
    CBitmap m_okFaces[4];
};
