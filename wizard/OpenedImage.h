#pragma once
// An image page 3 opened for a password check is released from the lock service (hidden kind) or
// moved out of its hiding folder to the work place (USB kind). When the user does not go on with
// it, it goes back: protected or hidden again.
#include "CString.h"
#include "WizardGlobals.h"

// The image page 3 opened, as page 4 holds it: its path and its kind (kImageKind*).
struct OpenedImage {
    CString path;
    int kind = kImageKindHidden;
};

// Puts the image of `kind` at `path` back to rest: a hidden image is protected again, a USB image
// moved from its work place back into the hiding folder; a normal image stays as it is. TRUE when
// the image is at rest afterwards.
BOOL ReturnImageToRest(int kind, const CString& path);
