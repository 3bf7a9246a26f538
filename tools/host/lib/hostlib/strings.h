// Text helpers: UTF-16 <-> UTF-8, class IDs as hex, numbers as short text.
#pragma once

#include "pluginterfaces/base/funknown.h"

#include <string>
#include <vector>

namespace vsthost {

// UTF-16 (up to the first zero or maxUnits) to UTF-8. Unpaired surrogates become U+FFFD.
std::string toUtf8 (const Steinberg::char16* text, size_t maxUnits = static_cast<size_t> (-1));
std::u16string toUtf16 (const std::string& utf8);

// Text of a fixed-size char8 field, stopping at the first zero or the field's end.
std::string fieldString (const char* field, size_t size);

// The 16 bytes of a class ID as 32 upper-case hex digits.
std::string tuidToHex (const Steinberg::TUID id);

// The shortest decimal text that reads back as exactly the same double.
std::string shortestDouble (double value);

// Whole-string number parsing; false when anything but the number is present.
bool parseDouble (const std::string& text, double& value);
bool parseInt64 (const std::string& text, long long& value);

// Text in double quotes, with quotes, backslashes and control characters escaped.
std::string quoted (const std::string& text);

// Name of a result code ("kResultOk", "kResultFalse", ...).
std::string resultName (Steinberg::tresult result);

// The words of a line, split at blanks (spaces, tabs, line ends).
std::vector<std::string> splitWords (const std::string& line);

// ASCII case-insensitive comparison.
bool equalsIgnoreCase (const std::string& a, const std::string& b);

} // namespace vsthost
