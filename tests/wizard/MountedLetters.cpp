#include "MountedLetters.h"

#include <algorithm>

#include "DriverPath.h"
#include "ImageHeader.h"
#include "MountedDisks.h"
#include "Tavrin.h"

std::set<char> MountedLetters()
{
    const std::vector<char> letters = MountedDriveLetters();
    return std::set<char>(letters.begin(), letters.end());
}

bool MakeSmallImage(const std::string& path)
{
    ImageHeader header = {};
    header.signature = ImageHeader::kSignature;
    header.headerSize = ImageHeader::kHeaderSize;
    std::copy_n("pw", 2, header.password);
    header.driveLetter = 'X';
    header.dataBytes = 2u * 1048576u - 2048u;
    header.field657 = 2048;
    int32_t context = 0;
    return Tavrin_CreateImage(ToDriverPath(path).c_str(), &header, nullptr, &context) == kTavrinCreated;
}
