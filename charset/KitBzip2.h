// KitBzip2: unpacks one compressed table package (magic, unpacked size, bzip2 stream).
#pragma once
#include <cstdint>

class DataBuffer;

class KitBzip2
{
public:
    KitBzip2() {}
    virtual ~KitBzip2() {}
    // Empty input: empty output and true. A missing or wrong magic: false, output unchanged.
    bool unpackPackage(const DataBuffer& input, DataBuffer& output);
};

const uint32_t kPackageMagic = 0xB394A7E1;
