// The asset archive "assets.bin": every picture, sample, module and the map.
//
// Layout (little-endian, no padding, no directory, no checksum):
//   31 bytes  signature HKCA_SIGNATURE with its zero byte
//    2 bytes  version, HKCA_VERSION
//   records to the end of the file, each:
//     name              bytes up to and including a zero byte, "/" between
//                       folders ("gfx/tiles.bmp"); at most HKCA_MAX_NAME bytes
//                       before the zero
//     uncompressed size 4 bytes
//     compressed size   4 bytes
//     data              the member as a stream of util/codec.h
// Names compare byte for byte, case-sensitively; the first record of a name
// wins. The reader keeps no state: each call opens, walks and closes the file.
#pragma once

#include <cstdint>
#include <cstdio>

#define HKCA_SIGNATURE "Harrow Kiln Compressed Archive"
#define HKCA_SIGNATURE_SIZE 31 // the 30 characters and their zero byte
#define HKCA_VERSION 1
#define HKCA_HEADER_SIZE (HKCA_SIGNATURE_SIZE + 2)
#define HKCA_RECORD_SIZES 8 // the two 32-bit sizes after a name

// Longest member name, terminator excluded. The game's longest is 23
// characters; a longer name in a file means the file is damaged.
#define HKCA_MAX_NAME 255

// A valid stream expands at most this much: its densest token is a copy of
// 100,000 bytes written in 7 (marker, 3-byte length, 3-byte offset). A stored
// size beyond (compressed size * this) cannot be genuine and is refused
// before anything is allocated for it.
#define HKCA_MAX_EXPANSION 14286

// Returns the member `member_name` of the archive at `archive_path`, decoded,
// in a new malloc'd buffer of exactly *out_size bytes that the caller frees.
// Returns null only when the archive is valid and has no such member (then
// *out_size means nothing). Every other failure ends the program through
// fatal_error with the tag "hkca_uncompress()": a missing or unreadable
// file, a wrong signature or version, a record cut off, a name too long, a
// stream that does not decode to exactly its stored size, no memory.
uint8_t* hkca_uncompress(const char* archive_path, const char* member_name, uint32_t* out_size);

// 1 when `path` can be opened for reading, else 0.
int file_exists(const char* path);

// Size of an open stream in bytes; the stream's position is kept.
int32_t file_size(FILE* stream);
