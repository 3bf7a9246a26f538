// An affine transform: x' = m11 x + m12 y + dx, y' = m21 x + m22 y + dy.
#pragma once

#include "crect.h"
#include <cmath>

namespace VSTGUI {

class CGraphicsTransform
{
public:
	double m11 {1.};
	double m12 {0.};
	double m21 {0.};
	double m22 {1.};
	double dx {0.};
	double dy {0.};

	CGraphicsTransform () = default;
	CGraphicsTransform (double m11, double m12, double m21, double m22, double dx, double dy)
	: m11 (m11), m12 (m12), m21 (m21), m22 (m22), dx (dx), dy (dy)
	{
	}

	CGraphicsTransform& translate (double x, double y)
	{
		dx += x;
		dy += y;
		return *this;
	}
	CGraphicsTransform& translate (const CPoint& p) { return translate (p.x, p.y); }
	CGraphicsTransform& scale (double x, double y)
	{
		*this = CGraphicsTransform (x, 0, 0, y, 0, 0) * *this;
		return *this;
	}
	CGraphicsTransform& rotate (double angleDegrees)
	{
		double a = angleDegrees * M_PI / 180.;
		double c = std::cos (a), s = std::sin (a);
		*this = CGraphicsTransform (c, -s, s, c, 0, 0) * *this;
		return *this;
	}
	bool isInvariant () const { return *this == CGraphicsTransform (); }

	/** The transform that applies t first and then this one. */
	CGraphicsTransform operator* (const CGraphicsTransform& t) const
	{
		return CGraphicsTransform (m11 * t.m11 + m12 * t.m21, m11 * t.m12 + m12 * t.m22,
		                           m21 * t.m11 + m22 * t.m21, m21 * t.m12 + m22 * t.m22,
		                           m11 * t.dx + m12 * t.dy + dx, m21 * t.dx + m22 * t.dy + dy);
	}
	bool operator== (const CGraphicsTransform& t) const
	{
		return m11 == t.m11 && m12 == t.m12 && m21 == t.m21 && m22 == t.m22 && dx == t.dx && dy == t.dy;
	}
	bool operator!= (const CGraphicsTransform& t) const { return !(*this == t); }

	CGraphicsTransform inverse () const
	{
		double det = m11 * m22 - m12 * m21;
		if (det == 0.)
			return CGraphicsTransform ();
		double i11 = m22 / det, i12 = -m12 / det, i21 = -m21 / det, i22 = m11 / det;
		return CGraphicsTransform (i11, i12, i21, i22, -(i11 * dx + i12 * dy), -(i21 * dx + i22 * dy));
	}

	CPoint& transform (CPoint& p) const
	{
		double x = m11 * p.x + m12 * p.y + dx;
		double y = m21 * p.x + m22 * p.y + dy;
		p.x = x;
		p.y = y;
		return p;
	}
	/** Transforms a rectangle to the bounds of its transformed corners. */
	CRect& transform (CRect& r) const
	{
		CPoint a (r.left, r.top), b (r.right, r.top), c (r.left, r.bottom), d (r.right, r.bottom);
		transform (a);
		transform (b);
		transform (c);
		transform (d);
		r.left = std::min (std::min (a.x, b.x), std::min (c.x, d.x));
		r.right = std::max (std::max (a.x, b.x), std::max (c.x, d.x));
		r.top = std::min (std::min (a.y, b.y), std::min (c.y, d.y));
		r.bottom = std::max (std::max (a.y, b.y), std::max (c.y, d.y));
		return r;
	}
	CPoint transform (const CPoint& p) const
	{
		CPoint q (p);
		return transform (q);
	}
	CRect transform (const CRect& r) const
	{
		CRect q (r);
		return transform (q);
	}
};

} // VSTGUI
