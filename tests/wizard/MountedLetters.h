#pragma once
// The drive letters our Tavrin has disks mounted on now, as the tests of the wizard's pages check
// them (the harness itself knows no disk library).
#include <set>

std::set<char> MountedLetters();
