#pragma once
// The 2048 bytes of a new image's header built from the image format's offset table alone, so a
// test comparing with it catches packing, alignment and sign faults.
#include <string>
#include <vector>

std::vector<unsigned char> GoldenHeader(const std::string& password, char letter, int sizeMB,
                                        const std::string& description = std::string());
