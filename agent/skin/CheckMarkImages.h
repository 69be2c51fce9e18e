#pragma once
// The program-wide check-mark picture of skinned menus, made from the bitmap resource
// "MENU_CHECKED" (white is see-through) the first time it is needed and freed at program end.
#include "TImageList.h"

TImageList& CheckMarkImages();
