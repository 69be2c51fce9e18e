#include "ProtectedImages.h"

#include "Quilmar.h"

bool ProtectedImage::IsListed() const
{
    return kind == kQuilmarListedKind && state == kQuilmarListedState;
}

std::vector<ProtectedImage> ReadProtectedImages()
{
    std::vector<ProtectedImage> images;
    const uint32_t count = Quilmar_GetProtectedCount();
    for (uint32_t index = 0; index < count; ++index) {
        std::vector<char> path(kQuilmarEntryBuffer, '\0'), unused1(kQuilmarEntryBuffer, '\0'),
            unused2(kQuilmarEntryBuffer, '\0');
        ProtectedImage image;
        if (!Quilmar_GetProtectedEntry(index, path.data(), unused1.data(), unused2.data(), &image.kind, &image.state))
            continue;
        path.back() = '\0';
        image.path = path.data();
        images.push_back(image);
    }
    return images;
}
