#pragma once
// The drive letters our Tavrin has disks mounted on now, as the tests of the wizard's pages check
// them (the harness itself knows no disk library), and the small disk image those tests mount.
#include <set>
#include <string>

std::set<char> MountedLetters();
// A 2 MB image with the password "pw", made through our Tavrin at `path`.
bool MakeSmallImage(const std::string& path);
