// libFuzzer's entry point for one target; FUZZ_TARGET names the target's body.

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FUZZ_TARGET(data, size);
}
