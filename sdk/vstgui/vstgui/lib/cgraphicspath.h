// A graphics path: a list of elements that a draw context replays.
#pragma once

#include "crect.h"
#include "cgraphicstransform.h"
#include <vector>

namespace VSTGUI {

class CGraphicsPath : public CBaseObject
{
public:
	struct Element
	{
		enum Type
		{
			kBeginSubpath,
			kCloseSubpath,
			kLine,
			kRect,
			kEllipse,
			kArc,
			kBezierCurve
		};
		Type type;
		CRect rect;          // kRect, kEllipse, kArc
		CPoint point;        // kBeginSubpath, kLine, kBezierCurve end point
		CPoint control1;     // kBezierCurve
		CPoint control2;     // kBezierCurve
		double startAngle {0.}; // kArc, degrees, clockwise from the positive x axis
		double endAngle {0.};
		bool clockwise {true};
	};

	CGraphicsPath () = default;
	~CGraphicsPath () noexcept override = default;

	void beginSubpath (const CPoint& start);
	void closeSubpath ();
	void addLine (const CPoint& to);
	void addRect (const CRect& rect);
	void addRoundRect (const CRect& rect, CCoord radius);
	void addEllipse (const CRect& rect);
	void addArc (const CRect& rect, double startAngle, double endAngle, bool clockwise);
	void addBezierCurve (const CPoint& control1, const CPoint& control2, const CPoint& end);
	void addPath (const CGraphicsPath& path, CGraphicsTransform* transformation = nullptr);

	const std::vector<Element>& getElements () const { return elements; }
	bool isEmpty () const { return elements.empty (); }
	void clear () { elements.clear (); }
	/** Rough bounds of everything added (control points included). */
	CRect getBoundingBox () const;

private:
	std::vector<Element> elements;
};

} // VSTGUI
