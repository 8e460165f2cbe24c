// lz_decode on arbitrary streams and output capacities: it must stay inside
// both buffers and, when it accepts a stream, agree with a byte-by-byte
// reading of the format.
#include <cstdint>
#include <cstdlib>
#include <cstring>

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
    if (got != LZ_CORRUPT && (got < 0 || got > capacity))
        abort();

    // A plain decoder must reach the same verdict and bytes.
    if (size > 0) {
        uint8_t* check = (uint8_t*)malloc(capacity ? capacity : 1);
        uint8_t m = in[0];
        size_t i = 1, o = 0;
        int64_t expect = -1;
        for (;;) {
            if (i == size) { expect = (int64_t)o; break; }
            uint8_t b = in[i++];
            if (b != m) {
                if (o == capacity) break;
                check[o++] = b;
                continue;
            }
            if (i == size) break;
            if (in[i] == 0) {
                if (o == capacity) break;
                check[o++] = m;
                i++;
                continue;
            }
            uint32_t length, offset;
            int k = get_varint(&length, in + i, size - i);
            if (!k) break;
            i += k;
            k = get_varint(&offset, in + i, size - i);
            if (!k) break;
            i += k;
            if (offset == 0 || offset > o || length > capacity - o) break;
            for (uint32_t j = 0; j < length; j++, o++) check[o] = check[o - offset];
        }
        if (expect != got || (got > 0 && memcmp(out, check, (size_t)got) != 0))
            abort();
        free(check);
    }
    free(out);
    free(in);
    return 0;
}
