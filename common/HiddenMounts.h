#pragma once
// Which mounted disks were hidden images when Brixom mounted them, so that dismounting one, in the
// same run or a later one, hides it again wherever it lies. The lock library's list cannot tell:
// an image leaves it when it is released to be mounted, and stays out until the dismount. Kept per
// user in the registry from the mount until the dismount, one value per image named after its full
// path (value names match without regard to case, as paths do).
#include <string>

// Notes at a mount whether the image was a hidden one; a mount of any other image clears what an
// earlier mount of the same file noted.
void MarkMountedImage(const std::string& imagePath, bool wasHidden);
// At a dismount: whether the image was hidden when it was mounted. The mark goes with the answer.
bool TakeHiddenMountMark(const std::string& imagePath);
