#pragma once
// A font description and the GDI font made from it on demand. Changes are reported through
// OnChange so a control can repaint.
#include "Colors.h"
#include "GdiObject.h"

#include <functional>
#include <string>

class TFont {
public:
    TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(const TFont& other);

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name);
    int Height() const { return m_height; }          // pixels; negative: character height
    void SetHeight(int height);
    int Size() const;                                 // points
    void SetSize(int points);
    bool Bold() const { return m_bold; }
    void SetBold(bool bold);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    BYTE Charset() const { return m_charset; }
    void SetCharset(BYTE charset);
    // Takes name, height, weight and charset of a system font description.
    void SetFromLogFont(const LOGFONTA& font);

    HFONT Handle() const;

    std::function<void()> OnChange;

private:
    void Changed();

    std::string m_name = "MS Sans Serif";
    int m_height = -11;
    bool m_bold = false;
    TColor m_color = clWindowText;
    BYTE m_charset = DEFAULT_CHARSET;
    mutable GdiFont m_handle;
};
