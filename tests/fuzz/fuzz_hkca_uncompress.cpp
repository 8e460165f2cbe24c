// hkca_uncompress on arbitrary archive bytes: every outcome must be a member,
// null or a fatal error, never a step outside a buffer or a leak.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "util/archive.h"

static void ask(const char* path, const char* name)
{
    uint32_t size = 0;
    uint8_t* volatile member = nullptr;
    FUZZ_CATCH_FATAL(member = hkca_uncompress(path, name, &size));
    if (member) {
        // Touch every byte, so a buffer shorter than its size is reported.
        volatile uint8_t sum = 0;
        for (uint32_t i = 0; i < size; i++) sum += member[i];
        free(member);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = fuzz_write_temp(data, size);
    // The first record's own name, so mutated archives still find members.
    char first[64] = "";
    if (size > HKCA_HEADER_SIZE) {
        size_t n = size - HKCA_HEADER_SIZE < sizeof first - 1 ? size - HKCA_HEADER_SIZE : sizeof first - 1;
        memcpy(first, data + HKCA_HEADER_SIZE, n);
        first[n] = 0;
    }
    ask(path, first);
    ask(path, "default.map");
    ask(path, "no such member");
    return 0;
}
