#pragma once
// The framework's name for the select-and-restore guard every layer shares.
#include "SelectGuard.h"

using CSelectGuard = SelectGuard;
