// The attributes of one UI-description node: name -> text, with typed accessors.
// Numbers are read and written in the classic locale; written numbers have 6
// significant digits; points are "x, y" and rectangles "l, t, r, b".
#pragma once

#include "../lib/crect.h"
#include <map>
#include <string>
#include <vector>

namespace VSTGUI {

class UIAttributes
{
public:
	using StringArray = std::vector<std::string>;
	using const_iterator = std::map<std::string, std::string>::const_iterator;

	UIAttributes () = default;

	bool hasAttribute (const std::string& name) const;
	/** The text, or null when absent. */
	const std::string* getAttributeValue (const std::string& name) const;
	void setAttribute (const std::string& name, const std::string& value);
	void setAttribute (const std::string& name, std::string&& value);
	void removeAttribute (const std::string& name);

	void setBooleanAttribute (const std::string& name, bool value);
	/** True for "true", false for "false"; fails for anything else. */
	bool getBooleanAttribute (const std::string& name, bool& value) const;
	void setIntegerAttribute (const std::string& name, int32_t value);
	bool getIntegerAttribute (const std::string& name, int32_t& value) const;
	void setDoubleAttribute (const std::string& name, double value);
	bool getDoubleAttribute (const std::string& name, double& value) const;
	void setPointAttribute (const std::string& name, const CPoint& p);
	bool getPointAttribute (const std::string& name, CPoint& p) const;
	void setRectAttribute (const std::string& name, const CRect& r);
	bool getRectAttribute (const std::string& name, CRect& r) const;
	void setStringArrayAttribute (const std::string& name, const StringArray& values);
	bool getStringArrayAttribute (const std::string& name, StringArray& values) const;

	size_t size () const { return attributes.size (); }
	bool empty () const { return attributes.empty (); }
	const_iterator begin () const { return attributes.begin (); }
	const_iterator end () const { return attributes.end (); }

	static std::string boolToString (bool value);
	static bool stringToBool (const std::string& str, bool& value);
	static std::string doubleToString (double value, uint32_t precision = 6);
	/** The whole text (surrounding blanks allowed) must be one number. */
	static bool stringToDouble (const std::string& str, double& value);
	static std::string integerToString (int32_t value);
	static bool stringToInteger (const std::string& str, int32_t& value);
	static std::string pointToString (const CPoint& p);
	static bool stringToPoint (const std::string& str, CPoint& p);
	static std::string rectToString (const CRect& r);
	static bool stringToRect (const std::string& str, CRect& r);
	static std::string stringArrayToString (const StringArray& values);
	static bool stringToStringArray (const std::string& str, StringArray& values);

private:
	std::map<std::string, std::string> attributes;
};

} // VSTGUI
