#include "uiattributes.h"
#include <cmath>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <locale>
#include <sstream>

namespace VSTGUI {

bool UIAttributes::hasAttribute (const std::string& name) const
{
	return attributes.find (name) != attributes.end ();
}

const std::string* UIAttributes::getAttributeValue (const std::string& name) const
{
	auto it = attributes.find (name);
	return it != attributes.end () ? &it->second : nullptr;
}

void UIAttributes::setAttribute (const std::string& name, const std::string& value)
{
	attributes[name] = value;
}

void UIAttributes::setAttribute (const std::string& name, std::string&& value)
{
	attributes[name] = std::move (value);
}

void UIAttributes::removeAttribute (const std::string& name)
{
	attributes.erase (name);
}

//------------------------------------------------------------------------
void UIAttributes::setBooleanAttribute (const std::string& name, bool value)
{
	setAttribute (name, boolToString (value));
}

bool UIAttributes::getBooleanAttribute (const std::string& name, bool& value) const
{
	auto v = getAttributeValue (name);
	return v && stringToBool (*v, value);
}

void UIAttributes::setIntegerAttribute (const std::string& name, int32_t value)
{
	setAttribute (name, integerToString (value));
}

bool UIAttributes::getIntegerAttribute (const std::string& name, int32_t& value) const
{
	auto v = getAttributeValue (name);
	return v && stringToInteger (*v, value);
}

void UIAttributes::setDoubleAttribute (const std::string& name, double value)
{
	setAttribute (name, doubleToString (value));
}

bool UIAttributes::getDoubleAttribute (const std::string& name, double& value) const
{
	auto v = getAttributeValue (name);
	return v && stringToDouble (*v, value);
}

void UIAttributes::setPointAttribute (const std::string& name, const CPoint& p)
{
	setAttribute (name, pointToString (p));
}

bool UIAttributes::getPointAttribute (const std::string& name, CPoint& p) const
{
	auto v = getAttributeValue (name);
	return v && stringToPoint (*v, p);
}

void UIAttributes::setRectAttribute (const std::string& name, const CRect& r)
{
	setAttribute (name, rectToString (r));
}

bool UIAttributes::getRectAttribute (const std::string& name, CRect& r) const
{
	auto v = getAttributeValue (name);
	return v && stringToRect (*v, r);
}

void UIAttributes::setStringArrayAttribute (const std::string& name, const StringArray& values)
{
	setAttribute (name, stringArrayToString (values));
}

bool UIAttributes::getStringArrayAttribute (const std::string& name, StringArray& values) const
{
	auto v = getAttributeValue (name);
	return v && stringToStringArray (*v, values);
}

//------------------------------------------------------------------------
std::string UIAttributes::boolToString (bool value)
{
	return value ? "true" : "false";
}

bool UIAttributes::stringToBool (const std::string& str, bool& value)
{
	if (str == "true")
		value = true;
	else if (str == "false")
		value = false;
	else
		return false;
	return true;
}

std::string UIAttributes::doubleToString (double value, uint32_t precision)
{
	std::ostringstream stream;
	stream.imbue (std::locale::classic ());
	stream.precision (static_cast<std::streamsize> (precision));
	stream << value;
	return stream.str ();
}

namespace {
bool isBlank (char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string trim (const std::string& s)
{
	size_t b = 0, e = s.size ();
	while (b < e && isBlank (s[b]))
		++b;
	while (e > b && isBlank (s[e - 1]))
		--e;
	return s.substr (b, e - b);
}

std::vector<std::string> splitOnComma (const std::string& str)
{
	std::vector<std::string> parts;
	size_t start = 0;
	while (true)
	{
		size_t pos = str.find (',', start);
		parts.push_back (str.substr (start, pos == std::string::npos ? std::string::npos : pos - start));
		if (pos == std::string::npos)
			break;
		start = pos + 1;
	}
	return parts;
}
} // anonymous

bool UIAttributes::stringToDouble (const std::string& str, double& value)
{
	std::string t = trim (str);
	if (t.empty ())
		return false;
	std::istringstream stream (t);
	stream.imbue (std::locale::classic ());
	double v;
	stream >> v;
	if (stream.fail ())
		return false;
	stream.peek ();
	if (!stream.eof ())
		return false;
	value = v;
	return true;
}

std::string UIAttributes::integerToString (int32_t value)
{
	return std::to_string (value);
}

bool UIAttributes::stringToInteger (const std::string& str, int32_t& value)
{
	std::string t = trim (str);
	if (t.empty ())
		return false;
	errno = 0;
	char* end = nullptr;
	long long v = std::strtoll (t.c_str (), &end, 10);
	if (errno != 0 || end != t.c_str () + t.size () || v < INT32_MIN || v > INT32_MAX)
		return false;
	value = static_cast<int32_t> (v);
	return true;
}

std::string UIAttributes::pointToString (const CPoint& p)
{
	return doubleToString (p.x) + ", " + doubleToString (p.y);
}

bool UIAttributes::stringToPoint (const std::string& str, CPoint& p)
{
	auto parts = splitOnComma (str);
	if (parts.size () != 2)
		return false;
	double x, y;
	if (!stringToDouble (parts[0], x) || !stringToDouble (parts[1], y))
		return false;
	p (x, y);
	return true;
}

std::string UIAttributes::rectToString (const CRect& r)
{
	return doubleToString (r.left) + ", " + doubleToString (r.top) + ", " + doubleToString (r.right) + ", " +
	       doubleToString (r.bottom);
}

bool UIAttributes::stringToRect (const std::string& str, CRect& r)
{
	auto parts = splitOnComma (str);
	if (parts.size () != 4)
		return false;
	double v[4];
	for (size_t i = 0; i < 4; ++i)
	{
		if (!stringToDouble (parts[i], v[i]))
			return false;
	}
	r (v[0], v[1], v[2], v[3]);
	return true;
}

std::string UIAttributes::stringArrayToString (const StringArray& values)
{
	std::string result;
	for (size_t i = 0; i < values.size (); ++i)
	{
		if (i)
			result += ',';
		result += values[i];
	}
	return result;
}

bool UIAttributes::stringToStringArray (const std::string& str, StringArray& values)
{
	values.clear ();
	if (str.empty ())
		return true;
	for (auto& part : splitOnComma (str))
		values.push_back (trim (part));
	return true;
}

} // VSTGUI
