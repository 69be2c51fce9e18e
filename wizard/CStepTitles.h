#pragma once
// A page's step title and its subtitle, as every wizard page shows them at its top: the title in
// bold yellow Arial, the subtitle in bold yellow with a one-pixel black outline drawn by four black
// copies round the yellow one. Each is a transparent label of the page's template.
#include "CDataExchange.h"
#include "CFont.h"
#include "CTransparentStatic.h"

class CStepTitles {
public:
    static constexpr int kSubtitleCopies = 5;      // four outline copies, then the yellow one

    // Binds the labels to the page's items: the title, then the subtitle copies in drawing order.
    void Bind(CDataExchange* dx, int titleId, const int (&subtitleIds)[kSubtitleCopies]);
    // Texts [section] "lblStep1" and "lblStep2", fonts, colours and places.
    void Layout(const char* section);

private:
    CTransparentStatic m_title;
    CTransparentStatic m_subtitles[kSubtitleCopies];
    CFont m_titleFont;
    CFont m_subtitleFont;
};
