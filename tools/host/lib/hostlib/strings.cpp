#include "hostlib/strings.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace vsthost {

namespace {
void appendUtf8 (std::string& out, char32_t cp)
{
	if (cp < 0x80)
		out += static_cast<char> (cp);
	else if (cp < 0x800)
	{
		out += static_cast<char> (0xC0 | (cp >> 6));
		out += static_cast<char> (0x80 | (cp & 0x3F));
	}
	else if (cp < 0x10000)
	{
		out += static_cast<char> (0xE0 | (cp >> 12));
		out += static_cast<char> (0x80 | ((cp >> 6) & 0x3F));
		out += static_cast<char> (0x80 | (cp & 0x3F));
	}
	else
	{
		out += static_cast<char> (0xF0 | (cp >> 18));
		out += static_cast<char> (0x80 | ((cp >> 12) & 0x3F));
		out += static_cast<char> (0x80 | ((cp >> 6) & 0x3F));
		out += static_cast<char> (0x80 | (cp & 0x3F));
	}
}
} // namespace

std::string toUtf8 (const Steinberg::char16* text, size_t maxUnits)
{
	std::string out;
	if (!text)
		return out;
	for (size_t i = 0; i < maxUnits && text[i]; ++i)
	{
		char32_t unit = text[i];
		if (unit >= 0xD800 && unit <= 0xDBFF)
		{
			if (i + 1 < maxUnits && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
			{
				char32_t low = text[++i];
				appendUtf8 (out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
			}
			else
				appendUtf8 (out, 0xFFFD);
		}
		else if (unit >= 0xDC00 && unit <= 0xDFFF)
			appendUtf8 (out, 0xFFFD);
		else
			appendUtf8 (out, unit);
	}
	return out;
}

std::u16string toUtf16 (const std::string& utf8)
{
	std::u16string out;
	size_t i = 0;
	const size_t n = utf8.size ();
	while (i < n)
	{
		auto c = static_cast<unsigned char> (utf8[i]);
		char32_t cp = 0xFFFD;
		size_t len = 1;
		if (c < 0x80)
			cp = c;
		else if ((c & 0xE0) == 0xC0)
			len = 2, cp = c & 0x1F;
		else if ((c & 0xF0) == 0xE0)
			len = 3, cp = c & 0x0F;
		else if ((c & 0xF8) == 0xF0)
			len = 4, cp = c & 0x07;
		else
			len = 0; // stray continuation or invalid lead byte
		if (len == 0)
		{
			out += u'\uFFFD';
			++i;
			continue;
		}
		bool ok = i + len <= n;
		for (size_t k = 1; ok && k < len; ++k)
		{
			auto cc = static_cast<unsigned char> (utf8[i + k]);
			if ((cc & 0xC0) != 0x80)
				ok = false;
			else
				cp = (cp << 6) | (cc & 0x3F);
		}
		if (!ok)
		{
			out += u'\uFFFD';
			++i;
			continue;
		}
		i += len;
		if (cp >= 0x10000)
		{
			cp -= 0x10000;
			out += static_cast<char16_t> (0xD800 + (cp >> 10));
			out += static_cast<char16_t> (0xDC00 + (cp & 0x3FF));
		}
		else
			out += static_cast<char16_t> (cp);
	}
	return out;
}

std::string fieldString (const char* field, size_t size)
{
	size_t len = 0;
	while (len < size && field[len])
		++len;
	return std::string (field, len);
}

std::string tuidToHex (const Steinberg::TUID id)
{
	static const char hex[] = "0123456789ABCDEF";
	std::string out;
	for (int i = 0; i < 16; ++i)
	{
		auto b = static_cast<unsigned char> (id[i]);
		out += hex[b >> 4];
		out += hex[b & 0x0F];
	}
	return out;
}

std::string shortestDouble (double value)
{
	if (std::isnan (value))
		return "nan";
	if (std::isinf (value))
		return value < 0 ? "-inf" : "inf";
	char buffer[64];
	// Whole numbers of ordinary size read best without an exponent (48000, not 4.8e+04).
	if (value == std::floor (value) && std::fabs (value) < 1e15)
	{
		std::snprintf (buffer, sizeof (buffer), "%.0f", value);
		return buffer;
	}
	for (int precision = 1; precision <= 17; ++precision)
	{
		std::snprintf (buffer, sizeof (buffer), "%.*g", precision, value);
		if (std::strtod (buffer, nullptr) == value)
			break;
	}
	return buffer;
}

bool parseDouble (const std::string& text, double& value)
{
	if (text.empty () || std::isspace (static_cast<unsigned char> (text[0])))
		return false;
	char* end = nullptr;
	errno = 0;
	double v = std::strtod (text.c_str (), &end);
	if (end != text.c_str () + text.size () || errno == ERANGE)
		return false;
	value = v;
	return true;
}

bool parseInt64 (const std::string& text, long long& value)
{
	if (text.empty () || std::isspace (static_cast<unsigned char> (text[0])))
		return false;
	char* end = nullptr;
	errno = 0;
	long long v = std::strtoll (text.c_str (), &end, 10);
	if (end != text.c_str () + text.size () || errno == ERANGE)
		return false;
	value = v;
	return true;
}

std::string quoted (const std::string& text)
{
	std::string out = "\"";
	for (char c : text)
	{
		if (c == '"' || c == '\\')
		{
			out += '\\';
			out += c;
		}
		else if (static_cast<unsigned char> (c) < 0x20)
		{
			char buffer[8];
			std::snprintf (buffer, sizeof (buffer), "\\x%02X", static_cast<unsigned char> (c));
			out += buffer;
		}
		else
			out += c;
	}
	out += '"';
	return out;
}

std::string resultName (Steinberg::tresult result)
{
	switch (result)
	{
		case Steinberg::kNoInterface: return "kNoInterface";
		case Steinberg::kResultOk: return "kResultOk";
		case Steinberg::kResultFalse: return "kResultFalse";
		case Steinberg::kInvalidArgument: return "kInvalidArgument";
		case Steinberg::kNotImplemented: return "kNotImplemented";
		case Steinberg::kInternalError: return "kInternalError";
		case Steinberg::kNotInitialized: return "kNotInitialized";
		case Steinberg::kOutOfMemory: return "kOutOfMemory";
		default: return "result " + std::to_string (result);
	}
}

bool equalsIgnoreCase (const std::string& a, const std::string& b)
{
	if (a.size () != b.size ())
		return false;
	for (size_t i = 0; i < a.size (); ++i)
	{
		auto ca = static_cast<unsigned char> (a[i]);
		auto cb = static_cast<unsigned char> (b[i]);
		if (std::tolower (ca) != std::tolower (cb))
			return false;
	}
	return true;
}

std::vector<std::string> splitWords (const std::string& line)
{
	std::vector<std::string> words;
	std::istringstream in (line);
	std::string word;
	while (in >> word)
		words.push_back (word);
	return words;
}

} // namespace vsthost
