#include "OpenedImage.h"

#include "CPortableDisk.h"
#include "Quilmar.h"
#include "WizardGlobals.h"

BOOL ReturnImageToRest(int kind, const CString& path)
{
    if (path.IsEmpty())
        return TRUE;
    switch (kind) {
    case kImageKindHidden:
        return Quilmar_SetProtection(path, 0, 0, kQuilmarProtect) != 0;
    case kImageKindPortable: {
        CPortableDisk maker;
        maker.SetTarget(path[0], "");
        // Only the image of the layout goes into the hiding folder, byte for byte its own path.
        if (maker.GetImagePathOnDrive() != path.str())
            return FALSE;
        return maker.HideImage() != 0;
    }
    default:
        return TRUE;
    }
}
