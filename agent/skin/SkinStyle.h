#pragma once
// The looks of Agent's skinned controls: five built-in styles held in a fixed table of pictures,
// colours, flags and numbers, or a skin file loaded by a theme component.
#include "TBitmap.h"
#include "TPicture.h"

class TComponent;
class TskFileTheme;

enum TskUIStyle : unsigned char { FromThemeFile = 0, MacOS = 1, WinXP = 2, Indigo = 3, Mineral = 4, Glacier = 5 };

enum TskBuiltInKind { bkBitmap, bkColor, bkFlag, bkInteger };

// Positions of the built-in table the controls read.
enum TskBuiltInPosition : int {
    posButtonStrip = 1,
    posCheckBoxStrip = 3,
    posTitleButtonStrip = 5,
    posFormColor = 15,
    posBorderColor = 16,
    posSelectedMenuBorder = 18,
    posSelectedMenu = 19,
    posSelectedMenuFont = 20,
    posMenuItem = 21,
    posMenuFont = 22,
    posMenuSideBar = 23,
    posEditBorder = 25,
    kBuiltInPositions = 48
};

struct TskBuiltInEntry {
    TskBuiltInKind kind;
    long value;             // colour, flag or integer
    const char* name;       // bitmap resource name (bitmap kind)
};

// The style every skinned control starts with: that of the first TskForm among the owner form's
// direct children, else Indigo.
TskUIStyle DefaultUIStyle(TComponent* owner);
// Whether a control draws from the skin file; `resolved` is the built-in style to use otherwise.
bool UsesFileTheme(TskFileTheme* theme, TskUIStyle style, TskUIStyle& resolved);

TskBuiltInEntry BuiltInEntry(TskUIStyle style, int position);
COLORREF BuiltInColor(TskUIStyle style, int position);
long BuiltInFlag(TskUIStyle style, int position);
long BuiltInInteger(TskUIStyle style, int position);
// Loads the position's bitmap resource of the program into `bitmap`; other kinds leave it as it was.
void LoadBuiltInBitmap(TskUIStyle style, int position, TBitmap& bitmap);
// The whole bitmap (count 0) or frame `index` (1-based) of `count` into the picture.
void GetBuiltInBitmap(TskUIStyle style, int position, TPicture* picture, int index, int count);
