// The names a shared object exports, read from its ELF dynamic symbol table.
#pragma once

#include <string>
#include <vector>

namespace vsthost {

// Defined, global or weak, default- or protected-visibility symbols of .dynsym
// (what "nm -D --defined-only" lists as exports), sorted by name. ELF64
// little-endian only; false with a message for anything else.
bool readDynamicExports (const std::string& path, std::vector<std::string>& names, std::string& error);

} // namespace vsthost
