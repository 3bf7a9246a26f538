#include "cgraphicspath.h"

namespace VSTGUI {

void CGraphicsPath::beginSubpath (const CPoint& start)
{
	Element e {Element::kBeginSubpath, {}, start, {}, {}};
	elements.push_back (e);
}

void CGraphicsPath::closeSubpath ()
{
	elements.push_back (Element {Element::kCloseSubpath, {}, {}, {}, {}});
}

void CGraphicsPath::addLine (const CPoint& to)
{
	elements.push_back (Element {Element::kLine, {}, to, {}, {}});
}

void CGraphicsPath::addRect (const CRect& rect)
{
	CRect r (rect);
	r.normalize ();
	elements.push_back (Element {Element::kRect, r, {}, {}, {}});
}

void CGraphicsPath::addRoundRect (const CRect& rect, CCoord radius)
{
	CRect r (rect);
	r.normalize ();
	radius = std::min (radius, std::min (r.getWidth (), r.getHeight ()) / 2.);
	if (!(radius > 0.))
	{
		addRect (r);
		return;
	}
	beginSubpath (CPoint (r.right - radius, r.top));
	addArc (CRect (r.right - 2 * radius, r.top, r.right, r.top + 2 * radius), 270., 360., true);
	addArc (CRect (r.right - 2 * radius, r.bottom - 2 * radius, r.right, r.bottom), 0., 90., true);
	addArc (CRect (r.left, r.bottom - 2 * radius, r.left + 2 * radius, r.bottom), 90., 180., true);
	addArc (CRect (r.left, r.top, r.left + 2 * radius, r.top + 2 * radius), 180., 270., true);
	closeSubpath ();
}

void CGraphicsPath::addEllipse (const CRect& rect)
{
	CRect r (rect);
	r.normalize ();
	elements.push_back (Element {Element::kEllipse, r, {}, {}, {}});
}

void CGraphicsPath::addArc (const CRect& rect, double startAngle, double endAngle, bool clockwise)
{
	CRect r (rect);
	r.normalize ();
	Element e {Element::kArc, r, {}, {}, {}};
	e.startAngle = startAngle;
	e.endAngle = endAngle;
	e.clockwise = clockwise;
	elements.push_back (e);
}

void CGraphicsPath::addBezierCurve (const CPoint& control1, const CPoint& control2, const CPoint& end)
{
	elements.push_back (Element {Element::kBezierCurve, {}, end, control1, control2});
}

void CGraphicsPath::addPath (const CGraphicsPath& path, CGraphicsTransform* t)
{
	if (&path == this)
	{
		CGraphicsPath copy;
		copy.elements = elements;
		addPath (copy, t);
		return;
	}
	for (auto e : path.elements)
	{
		if (t)
		{
			// Rectangles, ellipses and arcs keep their axis-aligned form: only their bounds move.
			t->transform (e.rect);
			t->transform (e.point);
			t->transform (e.control1);
			t->transform (e.control2);
		}
		elements.push_back (e);
	}
}

CRect CGraphicsPath::getBoundingBox () const
{
	CRect box;
	bool first = true;
	auto add = [&] (const CRect& r) {
		if (first)
			box = r;
		else
			box.unite (r);
		first = false;
	};
	for (const auto& e : elements)
	{
		switch (e.type)
		{
			case Element::kRect:
			case Element::kEllipse:
			case Element::kArc: add (e.rect); break;
			case Element::kBeginSubpath:
			case Element::kLine: add (CRect (e.point, CPoint ())); break;
			case Element::kBezierCurve:
				add (CRect (e.point, CPoint ()));
				add (CRect (e.control1, CPoint ()));
				add (CRect (e.control2, CPoint ()));
				break;
			case Element::kCloseSubpath: break;
		}
	}
	return box;
}

} // VSTGUI
