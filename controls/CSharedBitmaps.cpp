#include "CSharedBitmaps.h"

#include <algorithm>
#include <vector>

namespace {

struct SharedFace {
    HINSTANCE module;
    UINT id;
    COLORREF transparent;
    CSharedBitmaps::Face face;
    int users;
};

// A handful of faces per program: a list is enough.
std::vector<SharedFace>& Faces()
{
    static std::vector<SharedFace> faces;
    return faces;
}

}  // namespace

int CSharedBitmaps::Acquire(HINSTANCE module, UINT id, COLORREF transparent, Loader load, Face& face)
{
    std::vector<SharedFace>& faces = Faces();
    for (SharedFace& shared : faces) {
        if (shared.module == module && shared.id == id && shared.transparent == transparent) {
            ++shared.users;
            face = shared.face;
            return 0;
        }
    }
    Face made;
    const int result = load(module, id, transparent, made);
    if (result != 0)
        return result;
    faces.push_back({module, id, transparent, made, 1});
    face = made;
    return 0;
}

void CSharedBitmaps::Release(HBITMAP image)
{
    std::vector<SharedFace>& faces = Faces();
    auto found = std::find_if(faces.begin(), faces.end(), [image](const SharedFace& f) { return f.face.image == image; });
    if (found == faces.end() || --found->users > 0)
        return;
    ::DeleteObject(found->face.image);
    ::DeleteObject(found->face.mask);
    faces.erase(found);
}
