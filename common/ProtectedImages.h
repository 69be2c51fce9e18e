#pragma once
// The image-lock library's list of protected images, read the one way the pages read it.
#include <cstdint>
#include <string>
#include <vector>

struct ProtectedImage {
    std::string path;       // as the library stores it, cut to its entry buffer
    uint8_t kind = 0;
    uint32_t state = 0;

    // An image the user protected and may open: the entries the open page lists.
    bool IsListed() const;
};

// Every entry the library gives, in its own order; entries it fails to give are left out.
std::vector<ProtectedImage> ReadProtectedImages();
