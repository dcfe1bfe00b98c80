#pragma once

#include <cstddef>
#include <cstdint>

// One fuzz input: bytes read as a skin image, set on a skin button, painted. Never crashes,
// hangs or reads out of bounds, whatever the bytes.
int fuzzSkinImage(const uint8_t *data, size_t size);
