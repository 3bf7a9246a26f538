// UTF-8 text held by value.
#pragma once

#include "vstguifwd.h"
#include <string>

namespace VSTGUI {

class UTF8String
{
public:
	UTF8String (UTF8StringPtr str = nullptr) : string (str ? str : "") {}
	UTF8String (const std::string& str) : string (str) {}
	UTF8String (std::string&& str) noexcept : string (std::move (str)) {}
	UTF8String (const UTF8String&) = default;
	UTF8String (UTF8String&&) noexcept = default;
	UTF8String& operator= (const UTF8String&) = default;
	UTF8String& operator= (UTF8String&&) noexcept = default;
	UTF8String& operator= (UTF8StringPtr str)
	{
		string = str ? str : "";
		return *this;
	}
	UTF8String& operator= (const std::string& str)
	{
		string = str;
		return *this;
	}

	size_t length () const noexcept { return string.length (); }
	bool empty () const noexcept { return string.empty (); }
	void clear () noexcept { string.clear (); }
	UTF8StringPtr data () const noexcept { return string.data (); }
	const std::string& getString () const noexcept { return string; }
	operator UTF8StringPtr () const noexcept { return string.c_str (); }
	operator const std::string& () const noexcept { return string; }

	bool operator== (const UTF8String& o) const noexcept { return string == o.string; }
	bool operator!= (const UTF8String& o) const noexcept { return string != o.string; }
	bool operator== (UTF8StringPtr o) const noexcept { return string == (o ? o : ""); }
	bool operator!= (UTF8StringPtr o) const noexcept { return !(*this == o); }
	bool operator== (const std::string& o) const noexcept { return string == o; }
	UTF8String& operator+= (const UTF8String& o)
	{
		string += o.string;
		return *this;
	}
	UTF8String& operator+= (UTF8StringPtr o)
	{
		if (o)
			string += o;
		return *this;
	}
	UTF8String operator+ (const UTF8String& o) const { return UTF8String (string + o.string); }

	void assign (UTF8StringPtr str) { string = str ? str : ""; }

private:
	std::string string;
};

} // VSTGUI
