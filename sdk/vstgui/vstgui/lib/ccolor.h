// A colour of four bytes: red, green, blue, alpha.
#pragma once

#include "vstguifwd.h"
#include <cstdint>

namespace VSTGUI {

struct CColor
{
	constexpr CColor () = default;
	constexpr CColor (uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255)
	: red (red), green (green), blue (blue), alpha (alpha)
	{
	}

	constexpr bool operator== (const CColor& o) const
	{
		return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
	}
	constexpr bool operator!= (const CColor& o) const { return !(*this == o); }

	float normRed () const { return red / 255.f; }
	float normGreen () const { return green / 255.f; }
	float normBlue () const { return blue / 255.f; }
	float normAlpha () const { return alpha / 255.f; }
	void setNormRed (float v) { red = toByte (v); }
	void setNormGreen (float v) { green = toByte (v); }
	void setNormBlue (float v) { blue = toByte (v); }
	void setNormAlpha (float v) { alpha = toByte (v); }
	uint8_t getLuma () const
	{
		return static_cast<uint8_t> (0.2126f * red + 0.7152f * green + 0.0722f * blue);
	}

	/** Parses "#rrggbb" or "#rrggbbaa" (hex, either case). */
	bool fromString (const char* str);
	/** Writes "#rrggbbaa". */
	void toString (char out[10]) const;

	uint8_t red {255};
	uint8_t green {255};
	uint8_t blue {255};
	uint8_t alpha {255};

private:
	static uint8_t toByte (float v)
	{
		if (!(v > 0.f))
			return 0;
		if (v >= 1.f)
			return 255;
		return static_cast<uint8_t> (v * 255.f + 0.5f);
	}
};

constexpr CColor MakeCColor (uint8_t r = 0, uint8_t g = 0, uint8_t b = 0, uint8_t a = 255)
{
	return CColor (r, g, b, a);
}

constexpr CColor kTransparentCColor (255, 255, 255, 0);
constexpr CColor kBlackCColor (0, 0, 0, 255);
constexpr CColor kWhiteCColor (255, 255, 255, 255);
constexpr CColor kGreyCColor (127, 127, 127, 255);
constexpr CColor kRedCColor (255, 0, 0, 255);
constexpr CColor kGreenCColor (0, 255, 0, 255);
constexpr CColor kBlueCColor (0, 0, 255, 255);
constexpr CColor kYellowCColor (255, 255, 0, 255);
constexpr CColor kCyanCColor (0, 255, 255, 255);
constexpr CColor kMagentaCColor (255, 0, 255, 255);

} // VSTGUI
