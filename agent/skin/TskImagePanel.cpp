#include "TskImagePanel.h"

namespace {
const char* const kPublished[] = {
    "BiDiMode", "BorderWidth", "Anchors", "Picture", "Transparent", "AutoSize", "Alignment", "Align", "Font",
    "TabStop", "TabOrder", "Caption", "Color", "DrawStyle", "Visible", "PopupMenu", "OnCanResize", "OnClick",
    "OnConstrainedResize", "OnDockDrop", "OnDockOver", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock",
    "OnEndDrag", "OnEnter", "OnExit", "OnGetSiteInfo", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize",
    "OnStartDock", "OnStartDrag", "OnUnDock", nullptr};
}

bool TskImagePanel::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TskCustomPanel::HasPublished(name);
}
