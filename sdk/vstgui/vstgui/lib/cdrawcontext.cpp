#include "cdrawcontext.h"
#include "cbitmap.h"
#include "cairopixel.h"
#include "cfont.h"
#include <cairo.h>
#include <cmath>

namespace VSTGUI {

//------------------------------------------------------------------------
// line styles
CLineStyle::CLineStyle (LineCap cap, LineJoin join, CCoord dashPhase, uint32_t dashCount,
                        const CCoord* lengths)
: cap (cap), join (join), dashPhase (dashPhase)
{
	if (lengths)
		dashLengths.assign (lengths, lengths + dashCount);
}

CLineStyle::CLineStyle (LineCap cap, LineJoin join, CCoord dashPhase, const CoordVector& lengths)
: cap (cap), join (join), dashPhase (dashPhase), dashLengths (lengths)
{
}

bool CLineStyle::operator== (const CLineStyle& o) const
{
	return cap == o.cap && join == o.join && dashPhase == o.dashPhase && dashLengths == o.dashLengths;
}

static const CCoord kOnOffDashLengths[] = {1., 1.};
const CLineStyle kLineSolid;
const CLineStyle kLineOnOffDash (CLineStyle::kLineCapButt, CLineStyle::kLineJoinMiter, 0., 2, kOnOffDashLengths);

//------------------------------------------------------------------------
namespace {

// A scratch target for measuring text where a context has no backend.
cairo_t* measuringContext ()
{
	static cairo_t* cr = [] () {
		cairo_surface_t* s = cairo_image_surface_create (CAIRO_FORMAT_ARGB32, 1, 1);
		cairo_t* c = cairo_create (s);
		cairo_surface_destroy (s);
		return c;
	}();
	return cr;
}

void selectFont (cairo_t* cr, const CFontDesc* font)
{
	const CFontDesc* f = font ? font : kNormalFont;
	UTF8StringPtr family = f->getName ().empty () ? CFontDesc::getDefaultFamily () : f->getName ().data ();
	cairo_select_font_face (cr, family,
	                        (f->getStyle () & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
	                        (f->getStyle () & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
	double size = f->getSize ();
	cairo_set_font_size (cr, size > 0. ? size : 12.);
}

} // anonymous

//------------------------------------------------------------------------
struct CDrawContext::Backend
{
	cairo_t* cr {nullptr};

	~Backend ()
	{
		if (cr)
			cairo_destroy (cr);
	}

	/** Sets up clip, transform and antialiasing for one drawing call and undoes it after. */
	struct Scope
	{
		Scope (const CDrawContext& ctx, cairo_t* cr) : cr (cr)
		{
			cairo_save (cr);
			cairo_identity_matrix (cr);
			cairo_reset_clip (cr);
			double s = ctx.scaleFactor;
			cairo_scale (cr, s, s);
			const CRect& c = ctx.currentState.clipRect;
			cairo_rectangle (cr, c.left, c.top, std::max (0., c.getWidth ()), std::max (0., c.getHeight ()));
			cairo_clip (cr);
			const CGraphicsTransform& t = ctx.getCurrentTransform ();
			cairo_matrix_t m;
			cairo_matrix_init (&m, t.m11, t.m21, t.m12, t.m22, t.dx, t.dy);
			cairo_transform (cr, &m);
			cairo_set_antialias (cr, ctx.currentState.drawMode.antiAliasing () ? CAIRO_ANTIALIAS_DEFAULT
			                                                                      : CAIRO_ANTIALIAS_NONE);
		}
		~Scope () { cairo_restore (cr); }
		cairo_t* cr;
	};

	static void setColor (cairo_t* cr, const CColor& c, float globalAlpha)
	{
		cairo_set_source_rgba (cr, c.red / 255., c.green / 255., c.blue / 255., c.alpha / 255. * globalAlpha);
	}

	static void setLine (cairo_t* cr, const State& st)
	{
		double w = st.frameWidth > 0. ? st.frameWidth : 1.;
		cairo_set_line_width (cr, w);
		switch (st.lineStyle.getLineCap ())
		{
			case CLineStyle::kLineCapButt: cairo_set_line_cap (cr, CAIRO_LINE_CAP_BUTT); break;
			case CLineStyle::kLineCapRound: cairo_set_line_cap (cr, CAIRO_LINE_CAP_ROUND); break;
			case CLineStyle::kLineCapSquare: cairo_set_line_cap (cr, CAIRO_LINE_CAP_SQUARE); break;
		}
		switch (st.lineStyle.getLineJoin ())
		{
			case CLineStyle::kLineJoinMiter: cairo_set_line_join (cr, CAIRO_LINE_JOIN_MITER); break;
			case CLineStyle::kLineJoinRound: cairo_set_line_join (cr, CAIRO_LINE_JOIN_ROUND); break;
			case CLineStyle::kLineJoinBevel: cairo_set_line_join (cr, CAIRO_LINE_JOIN_BEVEL); break;
		}
		const auto& lengths = st.lineStyle.getDashLengths ();
		if (lengths.empty ())
			cairo_set_dash (cr, nullptr, 0, 0.);
		else
		{
			// Dash lengths are given in units of the line width.
			std::vector<double> d (lengths.begin (), lengths.end ());
			for (auto& v : d)
				v *= w;
			cairo_set_dash (cr, d.data (), static_cast<int> (d.size ()), st.lineStyle.getDashPhase () * w);
		}
	}

	/** Half-pixel shift that puts odd-width aliased lines on pixel centres. */
	static double alignOffset (const State& st)
	{
		if (!st.drawMode.aliasing () || !st.drawMode.integralMode ())
			return 0.;
		long w = std::lround (st.frameWidth > 0. ? st.frameWidth : 1.);
		return (w % 2) ? 0.5 : 0.;
	}

	void finish (const State& st, CDrawStyle style)
	{
		if (style == kDrawFilled || style == kDrawFilledAndStroked)
		{
			setColor (cr, st.fillColor, st.globalAlpha);
			if (style == kDrawFilledAndStroked)
				cairo_fill_preserve (cr);
			else
				cairo_fill (cr);
		}
		if (style == kDrawStroked || style == kDrawFilledAndStroked)
		{
			setLine (cr, st);
			setColor (cr, st.frameColor, st.globalAlpha);
			cairo_stroke (cr);
		}
	}
};

//------------------------------------------------------------------------
CDrawContext::CDrawContext (const CRect& surfaceRect) : surfaceRect (surfaceRect)
{
	currentState.font = kNormalFont;
	currentState.clipRect = surfaceRect;
	transformStack.emplace_back ();
}

CDrawContext::~CDrawContext () noexcept = default;

void CDrawContext::setBackend (void* cairoContext, double scale)
{
	backend = std::make_unique<Backend> ();
	backend->cr = static_cast<cairo_t*> (cairoContext);
	if (backend->cr)
		cairo_reference (backend->cr);
	scaleFactor = scale > 0. ? scale : 1.;
}

void* CDrawContext::getBackend () const
{
	return backend ? backend->cr : nullptr;
}

//------------------------------------------------------------------------
void CDrawContext::setLineStyle (const CLineStyle& style) { currentState.lineStyle = style; }
void CDrawContext::setLineWidth (CCoord width) { currentState.frameWidth = width; }
void CDrawContext::setDrawMode (CDrawMode mode) { currentState.drawMode = mode; }
void CDrawContext::setFillColor (const CColor& color) { currentState.fillColor = color; }
void CDrawContext::setFrameColor (const CColor& color) { currentState.frameColor = color; }
void CDrawContext::setFontColor (const CColor& color) { currentState.fontColor = color; }

void CDrawContext::setGlobalAlpha (float newAlpha)
{
	if (!(newAlpha >= 0.f))
		newAlpha = 0.f;
	currentState.globalAlpha = std::min (newAlpha, 1.f);
}

void CDrawContext::setFont (const CFontDesc* font, const CCoord& size, const int32_t& style)
{
	if (!font)
		return;
	if (size != 0 || style != -1)
	{
		auto f = makeOwned<CFontDesc> (*font);
		if (size != 0)
			f->setSize (size);
		if (style != -1)
			f->setStyle (style);
		currentState.font = f;
	}
	else
		currentState.font = const_cast<CFontDesc*> (font);
}

const CFontDesc* CDrawContext::getFont () const
{
	return currentState.font;
}

void CDrawContext::setClipRect (const CRect& clip)
{
	CRect c (clip);
	c.normalize ();
	getCurrentTransform ().transform (c);
	currentState.clipRect = c;
}

CRect& CDrawContext::getClipRect (CRect& clip) const
{
	clip = currentState.clipRect;
	getCurrentTransform ().inverse ().transform (clip);
	clip.normalize ();
	return clip;
}

void CDrawContext::resetClipRect ()
{
	currentState.clipRect = surfaceRect;
}

void CDrawContext::saveGlobalState ()
{
	stateStack.push_back (currentState);
}

void CDrawContext::restoreGlobalState ()
{
	if (stateStack.empty ())
		return;
	currentState = stateStack.back ();
	stateStack.pop_back ();
}

void CDrawContext::pushTransform (const CGraphicsTransform& transformation)
{
	transformStack.push_back (transformStack.back () * transformation);
}

void CDrawContext::popTransform ()
{
	if (transformStack.size () > 1)
		transformStack.pop_back ();
}

const CGraphicsTransform& CDrawContext::getCurrentTransform () const
{
	return transformStack.back ();
}

CDrawContext::Transform::Transform (CDrawContext& context, const CGraphicsTransform& t)
: context (context), active (!t.isInvariant ())
{
	if (active)
		context.pushTransform (t);
}

CDrawContext::Transform::~Transform () noexcept
{
	if (active)
		context.popTransform ();
}

//------------------------------------------------------------------------
void CDrawContext::drawLine (const CPoint& start, const CPoint& end)
{
	if (!getBackend ())
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	double o = Backend::alignOffset (currentState);
	cairo_move_to (cr, start.x + o, start.y + o);
	cairo_line_to (cr, end.x + o, end.y + o);
	backend->finish (currentState, kDrawStroked);
}

void CDrawContext::drawLines (const LineList& lines)
{
	for (const auto& l : lines)
		drawLine (l.first, l.second);
}

void CDrawContext::drawPolygon (const PointList& points, const CDrawStyle drawStyle)
{
	if (!getBackend () || points.empty ())
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	double o = drawStyle == kDrawFilled ? 0. : Backend::alignOffset (currentState);
	cairo_move_to (cr, points[0].x + o, points[0].y + o);
	for (size_t i = 1; i < points.size (); ++i)
		cairo_line_to (cr, points[i].x + o, points[i].y + o);
	if (drawStyle != kDrawStroked)
		cairo_close_path (cr);
	backend->finish (currentState, drawStyle);
}

void CDrawContext::drawRect (const CRect& rect, const CDrawStyle drawStyle)
{
	if (!getBackend ())
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	CRect r (rect);
	r.normalize ();
	if (drawStyle != kDrawFilled && currentState.drawMode.aliasing ())
	{
		// Aliased frames lie inside the rectangle, on whole pixels.
		CRect s (r);
		double half = (currentState.frameWidth > 0. ? currentState.frameWidth : 1.) / 2.;
		s.inset (half, half);
		if (drawStyle == kDrawFilledAndStroked)
		{
			cairo_rectangle (cr, r.left, r.top, r.getWidth (), r.getHeight ());
			Backend::setColor (cr, currentState.fillColor, currentState.globalAlpha);
			cairo_fill (cr);
		}
		cairo_rectangle (cr, s.left, s.top, std::max (0., s.getWidth ()), std::max (0., s.getHeight ()));
		backend->finish (currentState, kDrawStroked);
		return;
	}
	cairo_rectangle (cr, r.left, r.top, r.getWidth (), r.getHeight ());
	backend->finish (currentState, drawStyle);
}

static void ellipsePath (cairo_t* cr, const CRect& r, double a1, double a2, bool clockwise, bool newSub)
{
	double w = r.getWidth (), h = r.getHeight ();
	if (!(w > 0.) || !(h > 0.))
		return;
	cairo_matrix_t saved;
	cairo_get_matrix (cr, &saved);
	cairo_translate (cr, r.left + w / 2., r.top + h / 2.);
	cairo_scale (cr, w / 2., h / 2.);
	if (newSub)
		cairo_new_sub_path (cr);
	if (clockwise)
		cairo_arc (cr, 0., 0., 1., a1, a2);
	else
		cairo_arc_negative (cr, 0., 0., 1., a1, a2);
	cairo_set_matrix (cr, &saved);
}

void CDrawContext::drawArc (const CRect& rect, const float startAngle, const float endAngle,
                            const CDrawStyle drawStyle)
{
	if (!getBackend ())
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	CRect r (rect);
	r.normalize ();
	double a1 = startAngle * M_PI / 180., a2 = endAngle * M_PI / 180.;
	if (drawStyle != kDrawStroked)
		cairo_move_to (cr, r.left + r.getWidth () / 2., r.top + r.getHeight () / 2.);
	ellipsePath (cr, r, a1, a2, true, drawStyle == kDrawStroked);
	if (drawStyle != kDrawStroked)
		cairo_close_path (cr);
	backend->finish (currentState, drawStyle);
}

void CDrawContext::drawEllipse (const CRect& rect, const CDrawStyle drawStyle)
{
	if (!getBackend ())
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	CRect r (rect);
	r.normalize ();
	ellipsePath (cr, r, 0., 2. * M_PI, true, true);
	cairo_close_path (cr);
	backend->finish (currentState, drawStyle);
}

void CDrawContext::drawPoint (const CPoint& point, const CColor& color)
{
	if (!getBackend ())
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	cairo_rectangle (cr, point.x, point.y, 1., 1.);
	Backend::setColor (cr, color, currentState.globalAlpha);
	cairo_fill (cr);
}

void CDrawContext::drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha)
{
	if (!getBackend () || !bitmap)
		return;
	auto surface = static_cast<cairo_surface_t*> (bitmap->getPlatformBitmap ());
	if (!surface)
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	CRect r (dest);
	r.normalize ();
	cairo_rectangle (cr, r.left, r.top, r.getWidth (), r.getHeight ());
	cairo_clip (cr);
	cairo_set_source_surface (cr, surface, r.left - offset.x, r.top - offset.y);
	if (!(alpha >= 0.f))
		alpha = 0.f;
	cairo_paint_with_alpha (cr, std::min (alpha, 1.f) * currentState.globalAlpha);
}

void CDrawContext::clearRect (const CRect& rect)
{
	if (!getBackend ())
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	CRect r (rect);
	r.normalize ();
	cairo_set_operator (cr, CAIRO_OPERATOR_CLEAR);
	cairo_rectangle (cr, r.left, r.top, r.getWidth (), r.getHeight ());
	cairo_fill (cr);
}

//------------------------------------------------------------------------
CCoord CDrawContext::getStringWidth (UTF8StringPtr string)
{
	if (!string || !*string)
		return 0.;
	cairo_t* cr = getBackend () ? backend->cr : measuringContext ();
	cairo_save (cr);
	selectFont (cr, getFont ());
	cairo_text_extents_t ext;
	cairo_text_extents (cr, string, &ext);
	cairo_restore (cr);
	return ext.x_advance;
}

void CDrawContext::drawString (UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign,
                               bool antialias)
{
	if (!getBackend () || !string || !*string)
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	selectFont (cr, getFont ());
	cairo_font_extents_t fe;
	cairo_font_extents (cr, &fe);
	cairo_text_extents_t te;
	cairo_text_extents (cr, string, &te);
	CRect r (rect);
	r.normalize ();
	double x = r.left;
	if (hAlign == kCenterText)
		x = r.left + (r.getWidth () - te.x_advance) / 2.;
	else if (hAlign == kRightText)
		x = r.right - te.x_advance;
	double y = r.top + r.getHeight () / 2. + (fe.ascent - fe.descent) / 2.;
	if (!antialias)
		cairo_set_antialias (cr, CAIRO_ANTIALIAS_NONE);
	Backend::setColor (cr, currentState.fontColor, currentState.globalAlpha);
	cairo_move_to (cr, std::round (x), std::round (y));
	cairo_show_text (cr, string);
}

void CDrawContext::drawString (UTF8StringPtr string, const CPoint& point, bool antialias)
{
	if (!getBackend () || !string || !*string)
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	selectFont (cr, getFont ());
	if (!antialias)
		cairo_set_antialias (cr, CAIRO_ANTIALIAS_NONE);
	Backend::setColor (cr, currentState.fontColor, currentState.globalAlpha);
	cairo_move_to (cr, point.x, point.y);
	cairo_show_text (cr, string);
}

//------------------------------------------------------------------------
CGraphicsPath* CDrawContext::createGraphicsPath ()
{
	return new CGraphicsPath ();
}

void CDrawContext::drawGraphicsPath (CGraphicsPath* path, PathDrawMode mode, CGraphicsTransform* t)
{
	if (!getBackend () || !path)
		return;
	cairo_t* cr = backend->cr;
	Backend::Scope scope (*this, cr);
	if (t)
	{
		cairo_matrix_t m;
		cairo_matrix_init (&m, t->m11, t->m21, t->m12, t->m22, t->dx, t->dy);
		cairo_transform (cr, &m);
	}
	cairo_new_path (cr);
	for (const auto& e : path->getElements ())
	{
		using E = CGraphicsPath::Element;
		switch (e.type)
		{
			case E::kBeginSubpath: cairo_move_to (cr, e.point.x, e.point.y); break;
			case E::kCloseSubpath: cairo_close_path (cr); break;
			case E::kLine:
				if (cairo_has_current_point (cr))
					cairo_line_to (cr, e.point.x, e.point.y);
				else
					cairo_move_to (cr, e.point.x, e.point.y);
				break;
			case E::kRect: cairo_rectangle (cr, e.rect.left, e.rect.top, e.rect.getWidth (), e.rect.getHeight ()); break;
			case E::kEllipse:
				ellipsePath (cr, e.rect, 0., 2. * M_PI, true, true);
				cairo_close_path (cr);
				break;
			case E::kArc:
				ellipsePath (cr, e.rect, e.startAngle * M_PI / 180., e.endAngle * M_PI / 180., e.clockwise, false);
				break;
			case E::kBezierCurve:
				if (!cairo_has_current_point (cr))
					cairo_move_to (cr, e.control1.x, e.control1.y);
				cairo_curve_to (cr, e.control1.x, e.control1.y, e.control2.x, e.control2.y, e.point.x, e.point.y);
				break;
		}
	}
	if (mode == kPathStroked)
	{
		backend->finish (currentState, kDrawStroked);
	}
	else
	{
		cairo_set_fill_rule (cr, mode == kPathFilledEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
		backend->finish (currentState, kDrawFilled);
	}
}

//------------------------------------------------------------------------
// COffscreenContext
//------------------------------------------------------------------------
SharedPointer<COffscreenContext> COffscreenContext::create (const CPoint& size, double scaleFactor)
{
	if (!(scaleFactor > 0.) || !(scaleFactor <= 16.))
		return nullptr;
	double w = std::ceil (size.x * scaleFactor), h = std::ceil (size.y * scaleFactor);
	if (!(w >= 1.) || !(h >= 1.) || w > 16384. || h > 16384.)
		return nullptr;
	cairo_surface_t* s = cairo_image_surface_create (CAIRO_FORMAT_ARGB32, static_cast<int> (w), static_cast<int> (h));
	if (cairo_surface_status (s) != CAIRO_STATUS_SUCCESS)
	{
		cairo_surface_destroy (s);
		return nullptr;
	}
	return owned (new COffscreenContext (size, scaleFactor, s));
}

COffscreenContext::COffscreenContext (const CPoint& size, double scaleFactor, void* s)
: CDrawContext (CRect (CPoint (), size)), surface (s)
{
	auto cs = static_cast<cairo_surface_t*> (s);
	pixelWidth = cairo_image_surface_get_width (cs);
	pixelHeight = cairo_image_surface_get_height (cs);
	cairo_t* cr = cairo_create (cs);
	setBackend (cr, scaleFactor);
	cairo_destroy (cr);
}

COffscreenContext::~COffscreenContext () noexcept
{
	setBackend (nullptr, 1.);
	cairo_surface_destroy (static_cast<cairo_surface_t*> (surface));
}

void COffscreenContext::fill (const CColor& color)
{
	cairo_t* cr = static_cast<cairo_t*> (getBackend ());
	if (!cr)
		return;
	cairo_save (cr);
	cairo_reset_clip (cr);
	cairo_set_operator (cr, CAIRO_OPERATOR_SOURCE);
	cairo_set_source_rgba (cr, color.red / 255., color.green / 255., color.blue / 255., color.alpha / 255.);
	cairo_paint (cr);
	cairo_restore (cr);
}

CColor COffscreenContext::getPixel (int32_t x, int32_t y) const
{
	return readSurfacePixel (static_cast<cairo_surface_t*> (surface), x, y);
}

bool COffscreenContext::writePNG (UTF8StringPtr path) const
{
	if (!path)
		return false;
	auto cs = static_cast<cairo_surface_t*> (surface);
	cairo_surface_flush (cs);
	return cairo_surface_write_to_png (cs, path) == CAIRO_STATUS_SUCCESS;
}

} // VSTGUI
