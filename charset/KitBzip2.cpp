// KitBzip2: one-shot buffer-to-buffer bzip2 decoding of a package payload.
#include "charset/KitBzip2.h"
#include <bzlib.h>
#include "kit/DataBuffer.h"

bool KitBzip2::unpackPackage(const DataBuffer& input, DataBuffer& output)
{
    const unsigned char* p = input.getData();
    uint32_t n = input.getSize();
    if (!p || n == 0) {
        output.clear();
        return true;
    }
    if (n < 8)
        return false;
    uint32_t magic = (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
    if (magic != kPackageMagic)
        return false;
    uint32_t size = (uint32_t)p[4] | (uint32_t)p[5] << 8 | (uint32_t)p[6] << 16 | (uint32_t)p[7] << 24;
    if (size > 0x7FFFFFFFu - 20 || !output.reallocate(size + 20)) {
        output.clear();
        return false;
    }
    unsigned int decoded = size + 20;
    int rc = BZ2_bzBuffToBuffDecompress((char*)output.getData(), &decoded, (char*)p + 8, n - 8, 0, 0);
    output.setSize(rc == BZ_OK ? decoded : 0);
    return rc == BZ_OK;
}
