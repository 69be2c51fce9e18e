#pragma once
// The exports of Tavrin.dll, numbered by Tavrin.def: the library defines exactly the entry points
// and records its callers declare, so the two cannot drift apart.
#include "Tavrin.h"
