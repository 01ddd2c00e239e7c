#pragma once

#include <cstddef>
#include <cstdint>

// The fuzz targets' bodies. libFuzzer reaches them through entry.cpp; the corpus replay test calls
// them directly on every committed input. Each input runs against a fresh host and fresh module
// state, so an input always does the same thing, and whatever it allocates is gone when it returns.
// A broken property ends the process with a message on stderr.

/// The data as the lines of one launcher's scenario block: loaded through zvcLoadState, saved and
/// read back, flown for a few steps with E and J pressed, saved and read back again.
int FuzzModuleBlock(const std::uint8_t* data, std::size_t size);

/// The data as a whole scenario file: read by the host (launcher blocks through the module), flown
/// for a few frames, written, and read again.
int FuzzScenarioFile(const std::uint8_t* data, std::size_t size);
