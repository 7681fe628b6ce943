// Arbitrary bytes as a settings file image.
#include <stddef.h>
#include <stdint.h>

#include "runtime/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ConfigRecord record;
  if (DecodeSettingsFile(data, size, &record)) {
    // Whatever was read must write back out as a file that reads again.
    std::vector<unsigned char> image = EncodeSettingsFile(record);
    ConfigRecord again;
    if (image.empty() || !DecodeSettingsFile(image.data(), image.size(), &again)) __builtin_trap();
  }
  return 0;
}
