#pragma once
// One picture section of a skinned title bar: its width and alignment, whether it stretches, and
// whether it follows the caption's width.
#include "TCollection.h"
#include "TPicture.h"

enum TskTitleBarAlign { skLeft, skRight, skClient };

class TskTitleBarSection : public TCollectionItem {
public:
    explicit TskTitleBarSection(TCollection* collection);

    const char* ClassName() const override { return "TskTitleBarSection"; }

    int Width() const { return m_width; }
    void SetWidth(int width);
    TskTitleBarAlign Align() const { return m_align; }
    // Refuses a second client section; a client section always stretches.
    void SetAlign(TskTitleBarAlign align);
    TPicture& Picture() { return m_picture; }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    bool CapSec() const { return m_capSec; }
    void SetCapSec(bool capSec);

    void Assign(const TskTitleBarSection& other);

private:
    void FitToPicture();

    int m_width = 10;
    TskTitleBarAlign m_align = skLeft;
    TPicture m_picture;
    bool m_stretch = false;
    bool m_autoSize = false;
    bool m_capSec = false;
};
