// lz_decode on arbitrary streams and output capacities: it must stay inside
// both buffers and reach the same verdict and bytes as the plain reading of
// the format in lz_reference.h. The overlap_*.bin seeds hold overlapping
// copies (offsets 1 to 33, which the encoders never write) on the wide path,
// each ending right after a copy of odd length.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../lz_reference.h"
#include "util/codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the capacity, up to 64 KB.
    uint32_t capacity = (uint32_t)data[0] << 8 | data[1];
    data += 2;
    size -= 2;
    // Exact-size heap buffers, so the sanitizer sees any step outside.
    uint8_t* in = (uint8_t*)malloc(size ? size : 1);
    memcpy(in, data, size);
    uint8_t* out = (uint8_t*)malloc(capacity ? capacity : 1);
    int64_t got = lz_decode(in, out, (uint32_t)size, capacity);
    std::vector<uint8_t> plain;
    int64_t expect = reference_decode(in, size, capacity, &plain);
    if (got != (expect < 0 ? LZ_CORRUPT : expect) || (got > 0 && memcmp(out, plain.data(), (size_t)got) != 0))
        abort();
    free(out);
    free(in);
    return 0;
}
