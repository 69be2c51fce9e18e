#pragma once
// The export of Fennick.dll: the library defines exactly the entry point its callers declare.
#include "Fennick.h"
