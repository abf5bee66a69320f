#pragma once

// Block sizes of the configuration memory transfers; pure rules, kept apart from the tasks.

inline constexpr int ConfigPageSize = 64;
// The tasks never address the configuration memory at or above this address.
inline constexpr int ConfigMemoryLimit = 0x4000;

// Bytes read per exchange: the whole payload capacity, at most the total.
int readBlockLength(int payloadCapacity, int remaining);
// The largest write block for a payload capacity: a full page when the page and its 2-byte address
// and 1 spare byte fit, else what fits.
int largestWriteBlock(int payloadCapacity);
// The length of the write block at address: never across a page boundary, and odd when shorter
// than a page.
int writeBlockLength(int largestBlock, int address, int remaining);
