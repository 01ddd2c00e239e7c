#include "sim/world/host_limits.h"

#include "sim/files/text_format.h"

namespace zenthar {

std::string ValueRange::Expected() const {
  const std::string unitText = *unit ? std::string(" ") + unit : std::string();
  if (std::isinf(max)) return std::string(what) + " of at least " + ShortNumber(min) + unitText;
  return std::string(what) + " from " + ShortNumber(min) + " to " + ShortNumber(max) + unitText;
}

}  // namespace zenthar
