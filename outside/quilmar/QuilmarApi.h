#pragma once
// The exports of Quilmar.dll, numbered by Quilmar.def: the library defines exactly the entry points
// its callers declare, so the two cannot drift apart.
#include "Quilmar.h"
