#include "CStepTitles.h"

#include "WizardGlobals.h"

namespace {

constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kOutline = RGB(0, 0, 0);
constexpr int kTitleFontHeight = 20, kSubtitleFontHeight = 16, kTitleFontWeight = 700;
constexpr POINT kTitlePlace = {10, 2};
// The outline copies one pixel diagonally round the yellow one.
constexpr POINT kSubtitlePlaces[CStepTitles::kSubtitleCopies] = {{9, 21}, {9, 23}, {11, 23}, {11, 21}, {10, 22}};
constexpr UINT kPlaceOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

}  // namespace

void CStepTitles::Exchange(CDataExchange* dx, int titleId, const int (&subtitleIds)[kSubtitleCopies])
{
    DDX_Control(dx, titleId, m_title);
    for (int i = 0; i < kSubtitleCopies; ++i)
        DDX_Control(dx, subtitleIds[i], m_subtitles[i]);
}

void CStepTitles::Layout(const char* section)
{
    if (!m_titleFont.GetSafeHandle())
        m_titleFont.CreateFont(kTitleFontHeight, 0, 0, 0, kTitleFontWeight, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    if (!m_subtitleFont.GetSafeHandle())
        m_subtitleFont.CreateFont(kSubtitleFontHeight, 0, 0, 0, kTitleFontWeight, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");

    m_title.SetWindowText(LangText(section, "lblStep1"));
    m_title.SetFont(&m_titleFont, TRUE);
    m_title.SetAutoSize(TRUE);
    m_title.SetTextColor(kYellow);
    m_title.SetWindowPos(nullptr, kTitlePlace.x, kTitlePlace.y, 0, 0, kPlaceOnly);

    const CString subtitle = LangText(section, "lblStep2");
    for (int i = 0; i < kSubtitleCopies; ++i) {
        CTransparentStatic& copy = m_subtitles[i];
        copy.SetWindowText(subtitle);
        copy.SetFont(&m_subtitleFont, TRUE);
        copy.SetAutoSize(TRUE);
        copy.SetTextColor(i == kSubtitleCopies - 1 ? kYellow : kOutline);
        copy.SetWindowPos(nullptr, kSubtitlePlaces[i].x, kSubtitlePlaces[i].y, 0, 0, kPlaceOnly);
    }
    // The yellow copy is drawn last, over its outline.
    m_subtitles[kSubtitleCopies - 1].SetWindowPos(&m_subtitles[kSubtitleCopies - 2], 0, 0, 0, 0,
                                                  SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
