// Drawing definitions: draw modes and line styles.
#pragma once

#include "vstguifwd.h"
#include <vector>

namespace VSTGUI {

enum CDrawModeFlags : uint32_t
{
	kAliasing = 0,
	kAntiAliasing = 1,
	kNonIntegralMode = 0xF0000000,
	kDefaultDrawMode = kAliasing
};

struct CDrawMode
{
public:
	constexpr CDrawMode (uint32_t m = kDefaultDrawMode) : mode (m) {}
	constexpr CDrawMode (const CDrawMode& m) = default;
	CDrawMode& operator= (const CDrawMode& m) = default;

	constexpr uint32_t modeIgnoringIntegralMode () const { return (mode & ~kNonIntegralMode); }
	constexpr bool integralMode () const { return !(mode & kNonIntegralMode); }
	constexpr bool aliasing () const { return modeIgnoringIntegralMode () == kAliasing; }
	constexpr bool antiAliasing () const { return modeIgnoringIntegralMode () == kAntiAliasing; }
	constexpr uint32_t operator() () const { return mode; }
	bool operator== (const CDrawMode& m) const { return mode == m.mode; }
	bool operator!= (const CDrawMode& m) const { return mode != m.mode; }

private:
	uint32_t mode;
};

class CLineStyle
{
public:
	enum LineCap
	{
		kLineCapButt = 0,
		kLineCapRound,
		kLineCapSquare
	};
	enum LineJoin
	{
		kLineJoinMiter = 0,
		kLineJoinRound,
		kLineJoinBevel
	};
	using CoordVector = std::vector<CCoord>;

	CLineStyle (LineCap cap = kLineCapButt, LineJoin join = kLineJoinMiter, CCoord dashPhase = 0.,
	            uint32_t dashCount = 0, const CCoord* dashLengths = nullptr);
	CLineStyle (LineCap cap, LineJoin join, CCoord dashPhase, const CoordVector& dashLengths);

	LineCap getLineCap () const { return cap; }
	LineJoin getLineJoin () const { return join; }
	CCoord getDashPhase () const { return dashPhase; }
	uint32_t getDashCount () const { return static_cast<uint32_t> (dashLengths.size ()); }
	const CoordVector& getDashLengths () const { return dashLengths; }
	CoordVector& getDashLengths () { return dashLengths; }

	void setLineCap (LineCap c) { cap = c; }
	void setLineJoin (LineJoin j) { join = j; }
	void setDashPhase (CCoord p) { dashPhase = p; }

	bool operator== (const CLineStyle& o) const;
	bool operator!= (const CLineStyle& o) const { return !(*this == o); }

private:
	LineCap cap;
	LineJoin join;
	CCoord dashPhase;
	CoordVector dashLengths;
};

extern const CLineStyle kLineSolid;
extern const CLineStyle kLineOnOffDash;

} // VSTGUI
