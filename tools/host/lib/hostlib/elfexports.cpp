#include "hostlib/elfexports.h"

#include "hostlib/audiofile.h"

#include <elf.h>

#include <algorithm>
#include <cstring>

namespace vsthost {

namespace {
template <class T>
bool readAt (const std::vector<unsigned char>& file, size_t offset, T& value)
{
	if (offset > file.size () || file.size () - offset < sizeof (T))
		return false;
	std::memcpy (&value, file.data () + offset, sizeof (T));
	return true;
}
} // namespace

bool readDynamicExports (const std::string& path, std::vector<std::string>& names, std::string& error)
{
	std::vector<unsigned char> file;
	if (!readBinaryFile (path, file, error))
		return false;
	Elf64_Ehdr header {};
	if (!readAt (file, 0, header) || std::memcmp (header.e_ident, ELFMAG, SELFMAG) != 0)
	{
		error = "'" + path + "' is not an ELF file";
		return false;
	}
	if (header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB)
	{
		error = "'" + path + "' is not a 64-bit little-endian ELF file";
		return false;
	}
	if (header.e_shentsize != sizeof (Elf64_Shdr))
	{
		error = "'" + path + "' has an unexpected section header size";
		return false;
	}
	std::vector<Elf64_Shdr> sections (header.e_shnum);
	for (size_t i = 0; i < sections.size (); ++i)
	{
		if (!readAt (file, header.e_shoff + i * sizeof (Elf64_Shdr), sections[i]))
		{
			error = "'" + path + "' has a truncated section header table";
			return false;
		}
	}
	names.clear ();
	bool found = false;
	for (auto& section : sections)
	{
		if (section.sh_type != SHT_DYNSYM)
			continue;
		found = true;
		if (section.sh_link >= sections.size () || section.sh_entsize != sizeof (Elf64_Sym))
		{
			error = "'" + path + "' has a malformed dynamic symbol table";
			return false;
		}
		const Elf64_Shdr& strings = sections[section.sh_link];
		const size_t count = section.sh_size / sizeof (Elf64_Sym);
		for (size_t i = 1; i < count; ++i)
		{
			Elf64_Sym symbol {};
			if (!readAt (file, section.sh_offset + i * sizeof (Elf64_Sym), symbol))
			{
				error = "'" + path + "' has a truncated dynamic symbol table";
				return false;
			}
			const unsigned binding = ELF64_ST_BIND (symbol.st_info);
			const unsigned visibility = ELF64_ST_VISIBILITY (symbol.st_other);
			if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK) ||
			    (visibility != STV_DEFAULT && visibility != STV_PROTECTED))
				continue;
			size_t at = strings.sh_offset + symbol.st_name;
			if (symbol.st_name >= strings.sh_size || at >= file.size ())
			{
				error = "'" + path + "' has a symbol name outside its string table";
				return false;
			}
			const char* begin = reinterpret_cast<const char*> (file.data () + at);
			size_t maxLen = std::min<size_t> (file.size () - at, strings.sh_size - symbol.st_name);
			names.emplace_back (begin, strnlen (begin, maxLen));
		}
	}
	if (!found)
	{
		error = "'" + path + "' has no dynamic symbol table";
		return false;
	}
	std::sort (names.begin (), names.end ());
	return true;
}

} // namespace vsthost
