// A fresh temporary folder for one test, removed with everything in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <stdlib.h>

namespace PalvisTest {

class TempDir
{
public:
	TempDir ()
	{
		std::string pattern = (std::filesystem::temp_directory_path () / "palvis-test-XXXXXX").string ();
		std::vector<char> buffer (pattern.begin (), pattern.end ());
		buffer.push_back (0);
		// A test without its folder could only fail in confusing ways later.
		if (!::mkdtemp (buffer.data ()))
			throw std::runtime_error ("mkdtemp failed");
		dir = buffer.data ();
	}
	~TempDir ()
	{
		std::error_code ignored;
		std::filesystem::remove_all (dir, ignored);
	}
	TempDir (const TempDir&) = delete;
	TempDir& operator= (const TempDir&) = delete;

	const std::string& path () const { return dir; }
	std::string file (const std::string& name) const { return dir + "/" + name; }
	/** Writes a text file in the folder and gives its path. */
	std::string write (const std::string& name, const std::string& text) const
	{
		std::ofstream (file (name)) << text;
		return file (name);
	}

private:
	std::string dir;
};

} // namespace PalvisTest
