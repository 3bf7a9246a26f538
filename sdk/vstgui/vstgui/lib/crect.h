// A rectangle of four doubles: left, top, right, bottom.
#pragma once

#include "cpoint.h"
#include <algorithm>
#include <cmath>

namespace VSTGUI {

struct CRect
{
	constexpr CRect () = default;
	constexpr CRect (CCoord left, CCoord top, CCoord right, CCoord bottom)
	: left (left), top (top), right (right), bottom (bottom)
	{
	}
	constexpr CRect (const CPoint& origin, const CPoint& size)
	: left (origin.x), top (origin.y), right (origin.x + size.x), bottom (origin.y + size.y)
	{
	}

	CRect& operator() (CCoord l, CCoord t, CCoord r, CCoord b)
	{
		left = l;
		top = t;
		right = r;
		bottom = b;
		return *this;
	}
	bool operator== (const CRect& o) const
	{
		return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
	}
	bool operator!= (const CRect& o) const { return !(*this == o); }

	CCoord getWidth () const { return right - left; }
	CCoord getHeight () const { return bottom - top; }
	CRect& setWidth (CCoord w)
	{
		right = left + w;
		return *this;
	}
	CRect& setHeight (CCoord h)
	{
		bottom = top + h;
		return *this;
	}
	CPoint getTopLeft () const { return CPoint (left, top); }
	CPoint getTopRight () const { return CPoint (right, top); }
	CPoint getBottomLeft () const { return CPoint (left, bottom); }
	CPoint getBottomRight () const { return CPoint (right, bottom); }
	CPoint getCenter () const { return CPoint (left + getWidth () / 2., top + getHeight () / 2.); }
	CPoint getSize () const { return CPoint (getWidth (), getHeight ()); }
	CRect& setTopLeft (const CPoint& p)
	{
		left = p.x;
		top = p.y;
		return *this;
	}
	CRect& setBottomRight (const CPoint& p)
	{
		right = p.x;
		bottom = p.y;
		return *this;
	}
	CRect& setSize (const CPoint& s)
	{
		setWidth (s.x);
		return setHeight (s.y);
	}
	/** Moves the rectangle so that its top-left corner lies at p, keeping its size. */
	CRect& moveTo (const CPoint& p) { return moveTo (p.x, p.y); }
	CRect& moveTo (CCoord x, CCoord y)
	{
		CCoord w = getWidth (), h = getHeight ();
		left = x;
		top = y;
		right = x + w;
		bottom = y + h;
		return *this;
	}
	CRect& offset (CCoord x, CCoord y)
	{
		left += x;
		right += x;
		top += y;
		bottom += y;
		return *this;
	}
	CRect& offset (const CPoint& p) { return offset (p.x, p.y); }
	CRect& offsetInverse (const CPoint& p) { return offset (-p.x, -p.y); }
	CRect& inset (CCoord dx, CCoord dy)
	{
		left += dx;
		right -= dx;
		top += dy;
		bottom -= dy;
		return *this;
	}
	CRect& inset (const CPoint& p) { return inset (p.x, p.y); }
	CRect& extend (CCoord dx, CCoord dy) { return inset (-dx, -dy); }
	CRect& normalize ()
	{
		if (left > right)
			std::swap (left, right);
		if (top > bottom)
			std::swap (top, bottom);
		return *this;
	}
	/** Left and top edges inside, right and bottom edges outside. */
	bool pointInside (const CPoint& p) const
	{
		return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
	}
	bool isEmpty () const { return !(right > left && bottom > top); }
	bool rectOverlap (const CRect& o) const
	{
		return right >= o.left && left <= o.right && bottom >= o.top && top <= o.bottom;
	}
	/** Intersection; the result is empty (width or height 0) when they do not meet. */
	CRect& bound (const CRect& o)
	{
		left = std::max (left, o.left);
		top = std::max (top, o.top);
		right = std::min (right, o.right);
		bottom = std::min (bottom, o.bottom);
		if (right < left)
			right = left;
		if (bottom < top)
			bottom = top;
		return *this;
	}
	/** Smallest rectangle holding both. */
	CRect& unite (const CRect& o)
	{
		left = std::min (left, o.left);
		top = std::min (top, o.top);
		right = std::max (right, o.right);
		bottom = std::max (bottom, o.bottom);
		return *this;
	}
	CRect& makeIntegral ()
	{
		left = std::floor (left);
		top = std::floor (top);
		right = std::ceil (right);
		bottom = std::ceil (bottom);
		return *this;
	}
	void centerInside (const CRect& r)
	{
		CPoint c = r.getCenter ();
		moveTo (c.x - getWidth () / 2., c.y - getHeight () / 2.);
	}

	CCoord left {0.};
	CCoord top {0.};
	CCoord right {0.};
	CCoord bottom {0.};
};

} // VSTGUI
