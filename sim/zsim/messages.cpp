#include "sim/zsim/messages.h"

#include <cstdio>

#include "sim/zsim/printable.h"

namespace zenthar::zsim {

int Fail(const std::string& message, int status) {
  std::fprintf(stderr, "zsim: %s\n", Printable(message).c_str());
  return status;
}

std::string BaseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace zenthar::zsim
