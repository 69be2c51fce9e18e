// Draws the solid-colour faces the control tests load: each state of a bitmap set in a colour of
// its own with white (transparent) corners, the pieces of a combo box, and menu images.
//   MakeTestFaces <output folder>
#include <cstdio>
#include <string>
#include <vector>

#include "TestFaceColors.h"

namespace {

struct Face {
    std::string name;
    int width, height;
    unsigned color;     // 0x00RRGGBB
    int corner;         // white corner squares of this size
    unsigned cornerColor;
};

bool Save(const std::string& path, const Face& face)
{
    const int row = (face.width * 3 + 3) & ~3;
    const int size = 54 + row * face.height;
    std::vector<unsigned char> file(size, 0);
    auto put16 = [&](int at, int v) { file[at] = v & 0xFF; file[at + 1] = (v >> 8) & 0xFF; };
    auto put32 = [&](int at, int v) { put16(at, v & 0xFFFF); put16(at + 2, (v >> 16) & 0xFFFF); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, face.width);
    put32(22, face.height);
    put16(26, 1);
    put16(28, 24);
    put32(34, row * face.height);
    for (int y = 0; y < face.height; ++y) {
        unsigned char* out = &file[54 + (face.height - 1 - y) * row];
        for (int x = 0; x < face.width; ++x) {
            const bool cx = x < face.corner || x >= face.width - face.corner;
            const bool cy = y < face.corner || y >= face.height - face.corner;
            const unsigned c = cx && cy ? face.cornerColor : face.color;
            out[x * 3] = c & 0xFF;
            out[x * 3 + 1] = (c >> 8) & 0xFF;
            out[x * 3 + 2] = (c >> 16) & 0xFF;
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::string out = argv[1];
    if (!out.empty() && out.back() != '/')
        out += '/';
    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    std::vector<Face> faces;
    for (int s = 0; s < 4; ++s) {
        faces.push_back({std::string("face_") + states[s], kFaceSize, kFaceSize, kUncheckedColors[s], kFaceCorner, kWhiteRgb});
        faces.push_back(
            {std::string("face_on_") + states[s], kFaceSize, kFaceSize, kCheckedColors[s], kFaceCorner, kWhiteRgb});
        faces.push_back({std::string("tcombo_arrow_") + states[s], kComboArrowWidth, kComboHeight, kArrowColors[s], 0, 0});
    }
    faces.push_back({"tcombo_left", kComboLeftWidth, kComboHeight, kComboLeftColor, 0, 0});
    faces.push_back({"tcombo_middle", kComboMiddleWidth, kComboHeight, kComboMiddleColor, 0, 0});
    faces.push_back({"menu_image", 16, 15, kMenuImageColor, 2, 0xC0C0C0});
    faces.push_back({"menu_strip", 32, 15, kMenuImageColor, 2, 0xC0C0C0});
    for (const Face& f : faces)
        if (!Save(out + f.name + ".bmp", f))
            return 1;
    return 0;
}
