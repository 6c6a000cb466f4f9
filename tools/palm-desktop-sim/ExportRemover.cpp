#include "ExportRemover.h"

#include <elf.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace palmsim {

namespace {

template <typename T>
bool ReadAt(const std::string& bytes, uint64_t offset, T& out) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, bytes.data() + offset, sizeof(T));
  return true;
}

}  // namespace

bool CopyWithoutExports(const std::string& source, const std::string& destination,
                        const std::vector<std::string>& functions, std::string& error) {
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    error = "cannot read " + source;
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  Elf64_Ehdr header;
  if (!ReadAt(bytes, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
      header.e_shentsize != sizeof(Elf64_Shdr)) {
    error = source + " is not a 64-bit little-endian ELF file";
    return false;
  }
  auto section = [&](uint16_t index, Elf64_Shdr& out) {
    return index < header.e_shnum &&
           ReadAt(bytes, header.e_shoff + uint64_t{index} * sizeof(Elf64_Shdr), out);
  };
  Elf64_Shdr names;
  if (!section(header.e_shstrndx, names) || names.sh_offset > bytes.size() ||
      bytes.size() - names.sh_offset < names.sh_size) {
    error = source + " has no readable section names";
    return false;
  }
  Elf64_Shdr dynstr{};
  bool found = false;
  for (uint16_t i = 0; i < header.e_shnum && !found; ++i) {
    Elf64_Shdr candidate;
    if (!section(i, candidate) || candidate.sh_name >= names.sh_size) continue;
    const char* name = bytes.data() + names.sh_offset + candidate.sh_name;
    size_t room = names.sh_size - candidate.sh_name;
    if (candidate.sh_type == SHT_STRTAB && strnlen(name, room) < room && std::strcmp(name, ".dynstr") == 0) {
      dynstr = candidate;
      found = true;
    }
  }
  if (!found || dynstr.sh_offset > bytes.size() || bytes.size() - dynstr.sh_offset < dynstr.sh_size) {
    error = source + " has no dynamic string table";
    return false;
  }

  std::string_view table(bytes.data() + dynstr.sh_offset, dynstr.sh_size);
  for (const std::string& function : functions) {
    // A whole string of the table: a zero before it and after it.
    std::string needle = std::string(1, '\0') + function + std::string(1, '\0');
    size_t at = table.find(needle);
    if (function.empty() || at == std::string_view::npos) {
      error = function + " is not exported by " + source;
      return false;
    }
    for (; at != std::string_view::npos; at = table.find(needle, at + 1)) {
      bytes[dynstr.sh_offset + at + 1] = '_';
    }
  }

  std::string temp = destination + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      error = "cannot write " + temp;
      return false;
    }
  }
  chmod(temp.c_str(), 0755);
  if (std::rename(temp.c_str(), destination.c_str()) != 0) {
    error = "cannot write " + destination;
    return false;
  }
  return true;
}

}  // namespace palmsim
