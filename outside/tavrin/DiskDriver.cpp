#include "DiskDriver.h"

namespace outside {

bool DiskDriver::IsInstalled() { return false; }
bool DiskDriver::Install() { return false; }
bool DiskDriver::Mount(const std::wstring&, uint32_t, bool) { return false; }
bool DiskDriver::Unmount(uint32_t) { return false; }
bool DiskDriver::ImageOf(uint32_t, std::wstring&) { return false; }
uint32_t DiskDriver::MountedMask() { return 0; }
uint32_t DiskDriver::SlotLetter(int) { return 0; }
uint32_t DiskDriver::FindFreeLetter() { return 0; }
bool DiskDriver::MoveImage(const std::wstring&, const std::wstring&) { return false; }

}  // namespace outside
