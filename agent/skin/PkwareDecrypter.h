#pragma once
// The traditional PKWARE archive encryption: three keys set from the password, then updated with
// every plain byte.
#include <cstddef>
#include <cstdint>
#include <string>

class PkwareDecrypter {
public:
    explicit PkwareDecrypter(const std::string& password);

    uint8_t Decrypt(uint8_t cipher);
    void Decrypt(uint8_t* data, size_t size);

    static uint32_t Crc32Update(uint32_t crc, uint8_t byte);

private:
    void UpdateKeys(uint8_t plain);

    uint32_t m_keys[3];
};
