#include "TskTitleBarSection.h"

#include "SkinHelpers.h"

namespace {
const char kSecondClientSection[] = "Sorry, only one section's Align property can be \"skClient\"";
}

TskTitleBarSection::TskTitleBarSection(TCollection* collection) : TCollectionItem(collection)
{
    m_picture.OnChange = [this] {
        if (m_autoSize)
            FitToPicture();
        Changed();
    };
}

void TskTitleBarSection::FitToPicture()
{
    if (m_picture.Graphic())
        m_width = m_picture.Width();
}

void TskTitleBarSection::SetWidth(int width)
{
    m_width = width;
    Changed();
}

void TskTitleBarSection::SetAlign(TskTitleBarAlign align)
{
    if (align == skClient && m_align != skClient && Collection()) {
        for (int i = 0; i < Collection()->Count(); ++i) {
            auto* other = static_cast<TskTitleBarSection*>(Collection()->Item(i));
            if (other != this && other->m_align == skClient) {
                ShowRefusal(kSecondClientSection);
                return;
            }
        }
    }
    m_align = align;
    if (align == skClient)
        m_stretch = true;
    Changed();
}

void TskTitleBarSection::SetStretch(bool stretch)
{
    m_stretch = stretch || m_align == skClient;
    Changed();
}

void TskTitleBarSection::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    FitToPicture();
    Changed();
}

void TskTitleBarSection::SetCapSec(bool capSec)
{
    m_capSec = capSec;
    Changed();
}

void TskTitleBarSection::Assign(const TskTitleBarSection& other)
{
    m_width = other.m_width;
    m_align = other.m_align;
    m_stretch = other.m_stretch;
    m_autoSize = other.m_autoSize;
    m_capSec = other.m_capSec;
    m_picture.Assign(&other.m_picture);
}
