#include "ccolor.h"
#include <cstring>

namespace VSTGUI {

static int hexDigit (char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

bool CColor::fromString (const char* str)
{
	if (!str || str[0] != '#')
		return false;
	size_t len = std::strlen (str);
	if (len != 7 && len != 9)
		return false;
	uint8_t bytes[4] = {0, 0, 0, 255};
	for (size_t i = 0; i < (len - 1) / 2; ++i)
	{
		int hi = hexDigit (str[1 + i * 2]);
		int lo = hexDigit (str[2 + i * 2]);
		if (hi < 0 || lo < 0)
			return false;
		bytes[i] = static_cast<uint8_t> (hi * 16 + lo);
	}
	red = bytes[0];
	green = bytes[1];
	blue = bytes[2];
	alpha = bytes[3];
	return true;
}

void CColor::toString (char out[10]) const
{
	static const char digits[] = "0123456789abcdef";
	const uint8_t bytes[4] = {red, green, blue, alpha};
	out[0] = '#';
	for (int i = 0; i < 4; ++i)
	{
		out[1 + i * 2] = digits[bytes[i] >> 4];
		out[2 + i * 2] = digits[bytes[i] & 0xF];
	}
	out[9] = 0;
}

} // VSTGUI
