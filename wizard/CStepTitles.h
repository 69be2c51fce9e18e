#pragma once
// The two title lines at the top left of a wizard page: the step's title in yellow, and under it
// the subtitle as yellow text with a one-pixel black outline, drawn by four black copies round a
// yellow one. The page's template holds the six labels; the texts are "lblStep1" and "lblStep2"
// of the page's language section.
#include "CDataExchange.h"
#include "CFont.h"
#include "CTransparentStatic.h"

class CStepTitles {
public:
    static constexpr int kSubtitleCopies = 5;     // four outline copies, then the yellow one

    // Binds the labels: the title, then the subtitle's copies (the yellow one last).
    void Exchange(CDataExchange* dx, int titleId, const int (&subtitleIds)[kSubtitleCopies]);
    // Texts, fonts, colours and places; the fonts are made the first time.
    void Layout(const char* section);

private:
    CTransparentStatic m_title;
    CTransparentStatic m_subtitles[kSubtitleCopies];
    CFont m_titleFont;
    CFont m_subtitleFont;
};
