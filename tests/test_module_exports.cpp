// The built module shows the host its seven callbacks and nothing else: every other symbol, the
// standard library's template instantiations included, stays inside it.

#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

const std::set<std::string> kCallbacks{"zvcInit",     "zvcExit",       "zvcSetClassCaps",
                                       "zvcTimestep", "zvcConsumeKey", "zvcLoadState",
                                       "zvcSaveState"};

template <typename T>
T At(const std::vector<char>& image, std::size_t offset) {
  T value;
  std::memcpy(&value, image.data() + offset, sizeof value);
  return value;
}

/// The names of the defined global and weak symbols in the library's dynamic symbol table.
std::set<std::string> ExportedSymbols(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> image((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
  std::set<std::string> names;
  if (image.size() < sizeof(Elf64_Ehdr)) return names;
  const auto header = At<Elf64_Ehdr>(image, 0);
  for (int i = 0; i < header.e_shnum; ++i) {
    const auto section = At<Elf64_Shdr>(image, header.e_shoff + i * header.e_shentsize);
    if (section.sh_type != SHT_DYNSYM) continue;
    const auto strings =
        At<Elf64_Shdr>(image, header.e_shoff + section.sh_link * header.e_shentsize);
    for (std::size_t offset = 0; offset + sizeof(Elf64_Sym) <= section.sh_size;
         offset += sizeof(Elf64_Sym)) {
      const auto symbol = At<Elf64_Sym>(image, section.sh_offset + offset);
      const int binding = ELF64_ST_BIND(symbol.st_info);
      if (symbol.st_shndx == SHN_UNDEF ||
          (binding != STB_GLOBAL && binding != STB_WEAK && binding != STB_GNU_UNIQUE))
        continue;
      names.insert(image.data() + strings.sh_offset + symbol.st_name);
    }
  }
  return names;
}

TEST(ModuleExports, ExactlyTheSevenCallbacks) {
  EXPECT_EQ(kCallbacks, ExportedSymbols(VANTOR_MODULE_PATH));

  void* module = dlopen(VANTOR_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, module) << dlerror();
  for (const std::string& name : kCallbacks)
    EXPECT_NE(nullptr, dlsym(module, name.c_str())) << name;
  // Internals are out of reach, however the host might ask.
  EXPECT_EQ(nullptr, dlsym(module, "satellitePayload"));
  EXPECT_EQ(nullptr, dlsym(module, "_Z14SeaLevelThrustdddd"));
  dlclose(module);
}

}  // namespace
