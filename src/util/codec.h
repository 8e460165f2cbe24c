// The byte-oriented LZ77 stream every archive member is stored in.
//
// Stream: byte 0 is the marker M, the rarest byte value of the input (lowest
// value on ties). Then tokens up to the end of the stream:
//   B (B != M)            literal B
//   M 0                   literal M
//   M length offset       copy `length` bytes, each from `offset` bytes back
//                         in the output; both numbers are varints and a
//                         length's first byte is never 0
// There is no entropy coding, no length and no end marker: the decoded size
// is stored beside the stream by the archive.
//
// Varint: 1 to 5 bytes, 7 bits each, most significant group first, bit 7 set
// on every byte but the last, always the shortest form (300 = 0x82 0x2C).
//
// Both encoders keep these limits, so every stream they write does too:
// length >= 4, length <= offset (a copy never overlaps what it produces),
// offset <= LZ_MAX_OFFSET, and a back-reference only where it is shorter than
// the literals it replaces.
#pragma once

#include <cstddef>
#include <cstdint>

#define LZ_MIN_MATCH 4
#define LZ_MAX_OFFSET 100000
#define LZ_MAX_VARINT_BYTES 5

// lz_decode's answer for a stream that cannot be decoded.
#define LZ_CORRUPT (-1)

// Entries of the work area lz_encode_fast needs: one chain head per value of
// a 16-bit hash plus one chain link per input byte.
#define LZ_FAST_HEADS 65536
#define LZ_FAST_WORK_ENTRIES(n) ((size_t)LZ_FAST_HEADS + (size_t)(n))

// Worst-case encoded size of n input bytes: the marker, one byte per input
// byte, and one more per occurrence of the marker (at most n / 256 times,
// since it is the rarest value).
#define LZ_ENCODE_BOUND(n) ((size_t)1 + (size_t)(n) + (size_t)(n) / 256)

// Decodes the n-byte stream `in` into `out`, which holds `out_capacity`
// bytes. Returns the number of bytes decoded, or LZ_CORRUPT when the stream
// ends inside a token, a number is malformed, a copy reaches before the start
// of the output (offset 0 included) or the output would outgrow its capacity.
// Never reads outside `in` nor writes outside `out`; on LZ_CORRUPT the output
// holds whatever was decoded before the fault. n == 0 decodes to nothing.
// A copy whose offset is below its length repeats the last `offset` bytes,
// exactly as a byte-by-byte copy from low to high addresses would.
int64_t lz_decode(const uint8_t* in, uint8_t* out, uint32_t n, uint32_t out_capacity);

// Exhaustive encoder: for every position the longest earlier match within
// LZ_MAX_OFFSET (offsets 1 and 2 are never tried), the nearest on ties.
// `out` holds LZ_ENCODE_BOUND(n) bytes. Returns the stream length, 0 for
// n == 0. Allocates its search tables; the packing tool's --best.
uint32_t lz_encode(const uint8_t* in, uint8_t* out, uint32_t n);

// The same search over the earlier occurrences of the same byte pair less
// than LZ_MAX_OFFSET back, all of them, in a caller-supplied work area of
// LZ_FAST_WORK_ENTRIES(n) entries. Its output differs from lz_encode's only
// where lz_encode's choice lies exactly LZ_MAX_OFFSET back. Same output
// bound and result as lz_encode. Slowest on text drawn at random from a few
// letters, where thousands of earlier positions share each one's first four
// bytes (bench/codec.cpp prints the cost); runs and flat colours are fast.
uint32_t lz_encode_fast(const uint8_t* in, uint8_t* out, uint32_t n, uint32_t* work);

// Reads one varint from the `avail` bytes at `bytes` into *value. Returns the
// bytes read, or 0 when the number is cut off, runs past five bytes or does
// not fit in 32 bits (*value is then unchanged).
int get_varint(uint32_t* value, const uint8_t* bytes, size_t avail);

// Writes `value` in its shortest form (at most LZ_MAX_VARINT_BYTES bytes).
// Returns the bytes written.
int put_varint(uint32_t value, uint8_t* bytes);

// From index `min`, counts forward while the index is below `max` and a and b
// agree there; returns the index reached (`min` when min >= max).
uint32_t match_length(const uint8_t* a, const uint8_t* b, uint32_t min, uint32_t max);
