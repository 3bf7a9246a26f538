#include "cdrawcontext.h"
#include "cbitmap.h"
#include "cairopixel.h"
#include "cfont.h"
#include <cairo.h>
#include <array>
#include <cmath>
#include <functional>

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

// Cairo keeps device coordinates in 24.8 fixed point (about +-8.4 million pixels) and
// its rasteriser fails on values beyond, so nothing outside these limits is handed to
// it. No surface is wider than 16384 pixels: the limits lie far outside any picture.
constexpr double kMaxDeviceCoord = 2097152.;     // 2^21
constexpr double kMaxDeviceLineWidth = 1048576.; // 2^20: miter joins reach 10 half widths out
constexpr double kMinDeviceLineWidth = 1. / 4096.;
constexpr double kMaxDeviceFontSize = 4096.;
constexpr double kMinDeviceFontSize = 1. / 64.;
// How much a transform may stretch or shrink lengths; a call under any other
// transform draws nothing (Cairo refuses matrices that it cannot invert).
constexpr double kMaxStretch = 65536.;
constexpr double kMinStretch = 1. / 65536.;
constexpr double kMaxBitmapStretch = 256.;
// A stroke that would have more dashes than this is drawn solid.
constexpr double kMaxDashCount = 1048576.;
constexpr int kMaxArcSegments = 1024;
// An arc spanning more than this loses its extra full turns.
constexpr double kMaxArcSpan = 4. * M_PI;

bool isFinite (double v)
{
	return std::isfinite (v);
}

cairo_t* newMeasuringContext ()
{
	cairo_surface_t* s = cairo_image_surface_create (CAIRO_FORMAT_ARGB32, 1, 1);
	cairo_t* c = cairo_create (s);
	cairo_surface_destroy (s);
	return c;
}

// A scratch target for measuring text where a context has no backend; made anew
// should a bad call have put it into Cairo's error state.
cairo_t* measuringContext ()
{
	static cairo_t* cr = newMeasuringContext ();
	if (cairo_status (cr) != CAIRO_STATUS_SUCCESS)
	{
		cairo_destroy (cr);
		cr = newMeasuringContext ();
	}
	return cr;
}

/** Selects the font at a size that is at most kMaxDeviceFontSize device pixels; false
 *  (nothing selected) when the text would be smaller than kMinDeviceFontSize. */
bool selectFont (cairo_t* cr, const CFontDesc* font, double deviceScale)
{
	const CFontDesc* f = font ? font : kNormalFont;
	double size = f->getSize ();
	if (!(size > 0.))
		size = 12.;
	if (!(size * deviceScale >= kMinDeviceFontSize))
		return false;
	if (size * deviceScale > kMaxDeviceFontSize)
		size = kMaxDeviceFontSize / deviceScale;
	UTF8StringPtr family = f->getName ().empty () ? CFontDesc::getDefaultFamily () : f->getName ().data ();
	cairo_select_font_face (cr, family,
	                        (f->getStyle () & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
	                        (f->getStyle () & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
	cairo_set_font_size (cr, size);
	return true;
}

/** A user-to-device matrix and how much it stretches lengths. */
struct DeviceMatrix
{
	cairo_matrix_t m;
	double maxStretch {1.};  // bounds the growth of any length (row-sum norm)
	double meanStretch {1.}; // square root of the area factor
	bool usable {false};

	explicit DeviceMatrix (const cairo_matrix_t& matrix) : m (matrix)
	{
		const double norm = std::max (std::abs (m.xx) + std::abs (m.xy), std::abs (m.yx) + std::abs (m.yy));
		const double det = std::abs (m.xx * m.yy - m.xy * m.yx);
		usable = isFinite (m.xx) && isFinite (m.xy) && isFinite (m.yx) && isFinite (m.yy) && isFinite (m.x0) &&
		         isFinite (m.y0) && norm <= kMaxStretch && det / norm >= kMinStretch;
		if (usable)
		{
			maxStretch = norm;
			meanStretch = std::sqrt (det);
		}
	}
	/** A lower bound of how much a length shrinks. */
	double minStretch () const { return meanStretch * meanStretch / maxStretch; }
	bool inRange (double x, double y) const
	{
		cairo_matrix_transform_point (&m, &x, &y);
		return std::abs (x) <= kMaxDeviceCoord && std::abs (y) <= kMaxDeviceCoord;
	}
	/** The device point clamped to the limits; false when it is not a number. */
	bool clampedDevice (double x, double y, CPoint& p) const
	{
		cairo_matrix_transform_point (&m, &x, &y);
		if (std::isnan (x) || std::isnan (y))
			return false;
		p (std::max (-kMaxDeviceCoord, std::min (x, kMaxDeviceCoord)),
		   std::max (-kMaxDeviceCoord, std::min (y, kMaxDeviceCoord)));
		return true;
	}
};

/** Whether text set at (x, y) with these extents stays inside the device limits. */
bool textFits (const DeviceMatrix& m, double x, double y, const cairo_text_extents_t& te)
{
	const double left = x + te.x_bearing, top = y + te.y_bearing;
	return m.inRange (x, y) && m.inRange (x + te.x_advance, y + te.y_advance) && m.inRange (left, top) &&
	       m.inRange (left + te.width, top) && m.inRange (left, top + te.height) &&
	       m.inRange (left + te.width, top + te.height);
}

void ellipsePath (cairo_t* cr, const CRect& r, double a1, double a2, bool clockwise, bool newSub)
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

/** The outline of one drawing call, checked before any of it reaches Cairo. It is
 *  given to Cairo as it is when every point maps inside the device limits; otherwise
 *  in device coordinates, each point clamped to the limits and arcs as polylines; and
 *  not at all when a value is not finite. */
class Shape
{
public:
	enum class Mode
	{
		kNothing, // nothing was added
		kUser,    // added in user coordinates under the call's matrix
		kDevice   // added in device coordinates; the matrix is now the identity
	};

	void moveTo (double x, double y) { add (Op::kMove, x, y); }
	/** A line from the current point, or the start of a subpath when there is none. */
	void lineTo (double x, double y) { add (Op::kLine, x, y); }
	void curveTo (const CPoint& c1, const CPoint& c2, const CPoint& end)
	{
		Op op (Op::kCurve);
		op.p = {c1.x, c1.y, c2.x, c2.y, end.x, end.y};
		ops.push_back (op);
	}
	void close () { ops.push_back (Op (Op::kClose)); }
	/** A rectangle as cairo_rectangle takes it, with its far corner (right, bottom) for
	 *  when w or h overflow. */
	void rect (double x, double y, double w, double h, double right, double bottom)
	{
		Op op (Op::kRect);
		op.p = {x, y, w, h, right, bottom};
		ops.push_back (op);
	}
	void rect (const CRect& r) { rect (r.left, r.top, r.getWidth (), r.getHeight (), r.right, r.bottom); }
	/** An elliptic arc inside r, angles in radians, as cairo_arc draws it. */
	void arc (const CRect& r, double a1, double a2, bool clockwise, bool newSubpath)
	{
		// Extra full turns change no pixel of a stroke; keep at most two, with the
		// parity of their count, so that filling still gives the same winding.
		const double span = clockwise ? a2 - a1 : a1 - a2;
		if (span > kMaxArcSpan)
		{
			const double turns = std::floor (span / (2. * M_PI));
			const double kept = std::fmod (span, 2. * M_PI) + (std::fmod (turns, 2.) == 1. ? 2. * M_PI : 4. * M_PI);
			a2 = clockwise ? a1 + kept : a1 - kept;
		}
		Op op (Op::kArc);
		op.r = r;
		op.p = {a1, a2, 0., 0., 0., 0.};
		op.clockwise = clockwise;
		op.newSubpath = newSubpath;
		ops.push_back (op);
	}

	/** Adds the outline to cr's path under the matrix dm (cr's current matrix). */
	Mode emit (cairo_t* cr, const DeviceMatrix& dm)
	{
		length = 0.;
		if (!allFinite ())
			return Mode::kNothing;
		if (fitsAsGiven (dm))
		{
			emitAsGiven (cr, dm);
			return Mode::kUser;
		}
		cairo_identity_matrix (cr);
		if (!emitInDevice (cr, dm))
		{
			cairo_new_path (cr);
			return Mode::kNothing;
		}
		return Mode::kDevice;
	}
	/** Roughly the length of the outline in device pixels, after emit. */
	double deviceLength () const { return length; }

private:
	struct Op
	{
		enum Kind
		{
			kMove,
			kLine,
			kCurve,
			kClose,
			kRect,
			kArc
		};
		explicit Op (Kind kind) : kind (kind) {}

		Kind kind;
		std::array<double, 6> p {}; // points; a rectangle's x, y, w, h, right, bottom; an arc's angles
		CRect r;                    // the ellipse of an arc
		bool clockwise {true};
		bool newSubpath {true};
	};

	void add (Op::Kind kind, double x, double y)
	{
		Op op (kind);
		op.p[0] = x;
		op.p[1] = y;
		ops.push_back (op);
	}

	bool allFinite () const
	{
		for (const auto& op : ops)
		{
			for (size_t i = 0; i < op.p.size (); ++i)
			{
				// A rectangle's width and height may overflow; its corners may not.
				if (!isFinite (op.p[i]) && !(op.kind == Op::kRect && (i == 2 || i == 3)))
					return false;
			}
			if (op.kind == Op::kArc &&
			    !(isFinite (op.r.left) && isFinite (op.r.top) && isFinite (op.r.right) && isFinite (op.r.bottom)))
				return false;
		}
		return true;
	}

	static bool arcIsDrawn (const Op& op) { return op.r.getWidth () > 0. && op.r.getHeight () > 0.; }

	bool fitsAsGiven (const DeviceMatrix& dm) const
	{
		// Cairo draws an arc as a unit circle under a scaled matrix, which must stay
		// invertible: radii below a millionth of a pixel go the device way.
		const double minStretch = dm.minStretch ();
		for (const auto& op : ops)
		{
			const auto& p = op.p;
			switch (op.kind)
			{
				case Op::kMove:
				case Op::kLine:
					if (!dm.inRange (p[0], p[1]))
						return false;
					break;
				case Op::kCurve:
					if (!dm.inRange (p[0], p[1]) || !dm.inRange (p[2], p[3]) || !dm.inRange (p[4], p[5]))
						return false;
					break;
				case Op::kClose: break;
				case Op::kRect:
					if (!dm.inRange (p[0], p[1]) || !dm.inRange (p[0] + p[2], p[1]) ||
					    !dm.inRange (p[0] + p[2], p[1] + p[3]) || !dm.inRange (p[0], p[1] + p[3]))
						return false;
					break;
				case Op::kArc:
					if (!arcIsDrawn (op))
						break;
					if (!dm.inRange (op.r.left, op.r.top) || !dm.inRange (op.r.right, op.r.top) ||
					    !dm.inRange (op.r.right, op.r.bottom) || !dm.inRange (op.r.left, op.r.bottom) ||
					    std::min (op.r.getWidth (), op.r.getHeight ()) / 2. * minStretch < 1e-6)
						return false;
					break;
			}
		}
		return true;
	}

	void emitAsGiven (cairo_t* cr, const DeviceMatrix& dm)
	{
		double userLength = 0.;
		double x = 0., y = 0.;
		auto track = [&] (double nx, double ny) {
			userLength += std::hypot (nx - x, ny - y);
			x = nx;
			y = ny;
		};
		for (const auto& op : ops)
		{
			const auto& p = op.p;
			switch (op.kind)
			{
				case Op::kMove:
					cairo_move_to (cr, p[0], p[1]);
					x = p[0];
					y = p[1];
					break;
				case Op::kLine:
					if (cairo_has_current_point (cr))
					{
						cairo_line_to (cr, p[0], p[1]);
						track (p[0], p[1]);
					}
					else
					{
						cairo_move_to (cr, p[0], p[1]);
						x = p[0];
						y = p[1];
					}
					break;
				case Op::kCurve:
					if (!cairo_has_current_point (cr))
					{
						cairo_move_to (cr, p[0], p[1]);
						x = p[0];
						y = p[1];
					}
					cairo_curve_to (cr, p[0], p[1], p[2], p[3], p[4], p[5]);
					track (p[0], p[1]);
					track (p[2], p[3]);
					track (p[4], p[5]);
					break;
				case Op::kClose: cairo_close_path (cr); break;
				case Op::kRect:
					cairo_rectangle (cr, p[0], p[1], p[2], p[3]);
					userLength += 2. * (std::abs (p[2]) + std::abs (p[3]));
					break;
				case Op::kArc:
					ellipsePath (cr, op.r, p[0], p[1], op.clockwise, op.newSubpath);
					if (arcIsDrawn (op))
						userLength += (op.r.getWidth () + op.r.getHeight ()) / 2. *
						              std::max (2. * M_PI, std::abs (p[1] - p[0]));
					break;
			}
		}
		length = userLength * dm.maxStretch;
	}

	bool emitInDevice (cairo_t* cr, const DeviceMatrix& dm)
	{
		CPoint last;
		bool hasPoint = false;
		CPoint start;
		auto moveTo = [&] (const CPoint& q) {
			cairo_move_to (cr, q.x, q.y);
			last = start = q;
			hasPoint = true;
		};
		auto lineTo = [&] (const CPoint& q) {
			cairo_line_to (cr, q.x, q.y);
			length += std::hypot (q.x - last.x, q.y - last.y);
			last = q;
		};
		CPoint q[4];
		for (const auto& op : ops)
		{
			const auto& p = op.p;
			switch (op.kind)
			{
				case Op::kMove:
					if (!dm.clampedDevice (p[0], p[1], q[0]))
						return false;
					moveTo (q[0]);
					break;
				case Op::kLine:
					if (!dm.clampedDevice (p[0], p[1], q[0]))
						return false;
					if (hasPoint)
						lineTo (q[0]);
					else
						moveTo (q[0]);
					break;
				case Op::kCurve:
					if (!dm.clampedDevice (p[0], p[1], q[0]) || !dm.clampedDevice (p[2], p[3], q[1]) ||
					    !dm.clampedDevice (p[4], p[5], q[2]))
						return false;
					if (!hasPoint)
						moveTo (q[0]);
					// Clamped control points keep the curve inside the limits.
					cairo_curve_to (cr, q[0].x, q[0].y, q[1].x, q[1].y, q[2].x, q[2].y);
					length += std::hypot (q[0].x - last.x, q[0].y - last.y) +
					          std::hypot (q[1].x - q[0].x, q[1].y - q[0].y) +
					          std::hypot (q[2].x - q[1].x, q[2].y - q[1].y);
					last = q[2];
					break;
				case Op::kClose:
					if (hasPoint)
					{
						cairo_close_path (cr);
						length += std::hypot (start.x - last.x, start.y - last.y);
						last = start;
					}
					break;
				case Op::kRect:
					if (!dm.clampedDevice (p[0], p[1], q[0]) || !dm.clampedDevice (p[4], p[1], q[1]) ||
					    !dm.clampedDevice (p[4], p[5], q[2]) || !dm.clampedDevice (p[0], p[5], q[3]))
						return false;
					moveTo (q[0]);
					lineTo (q[1]);
					lineTo (q[2]);
					lineTo (q[3]);
					cairo_close_path (cr);
					length += std::hypot (q[0].x - q[3].x, q[0].y - q[3].y);
					last = q[0];
					break;
				case Op::kArc:
					if (!arcIsDrawn (op))
						break;
					if (!flattenArc (op, dm, hasPoint, moveTo, lineTo))
						return false;
					break;
			}
		}
		return true;
	}

	/** The arc as a polyline, angles taken as cairo_arc and cairo_arc_negative take them. */
	template <typename MoveTo, typename LineTo>
	static bool flattenArc (const Op& op, const DeviceMatrix& dm, bool hasPoint, MoveTo& moveTo, LineTo& lineTo)
	{
		double a1 = op.p[0], a2 = op.p[1];
		if (op.clockwise && a2 < a1)
		{
			a2 = std::fmod (a2 - a1, 2. * M_PI);
			if (a2 < 0.)
				a2 += 2. * M_PI;
			a2 += a1;
		}
		else if (!op.clockwise && a2 > a1)
		{
			a2 = std::fmod (a2 - a1, 2. * M_PI);
			if (a2 > 0.)
				a2 -= 2. * M_PI;
			a2 += a1;
		}
		const double rx = op.r.getWidth () / 2., ry = op.r.getHeight () / 2.;
		const double cx = op.r.left + rx, cy = op.r.top + ry;
		const double radius = std::min (std::max (rx, ry) * dm.maxStretch, 1e6);
		const double perTurn = std::max (8., 4. * std::sqrt (radius));
		const double n = std::ceil (std::abs (a2 - a1) / (2. * M_PI) * perTurn);
		const int segments = static_cast<int> (std::max (1., std::min (n, double (kMaxArcSegments))));
		for (int i = 0; i <= segments; ++i)
		{
			const double a = a1 + (a2 - a1) * i / segments;
			CPoint q;
			if (!dm.clampedDevice (cx + rx * std::cos (a), cy + ry * std::sin (a), q))
				return false;
			if (i == 0 && (op.newSubpath || !hasPoint))
				moveTo (q);
			else
				lineTo (q);
		}
		return true;
	}

	std::vector<Op> ops;
	double length {0.};
};

} // anonymous

//------------------------------------------------------------------------
struct CDrawContext::Backend
{
	cairo_t* cr {nullptr};
	cairo_surface_t* target {nullptr};

	~Backend ()
	{
		if (cr)
			cairo_destroy (cr);
		if (target)
			cairo_surface_destroy (target);
	}

	/** A Cairo error state would refuse every later call: start from a new context on
	 *  the same surface instead (the drawing state lives in the CDrawContext). */
	void recover ()
	{
		if (!cr || !target || cairo_status (cr) == CAIRO_STATUS_SUCCESS)
			return;
		cairo_destroy (cr);
		cr = cairo_create (target);
	}

	/** Sets up clip, transform and antialiasing for one drawing call and undoes it
	 *  after. A call whose matrix or clip Cairo cannot take is not made: test the
	 *  scope before drawing. */
	struct Scope
	{
		Scope (const CDrawContext& ctx, Backend& backend) : backend (backend), cr (backend.cr)
		{
			cairo_save (cr);
			cairo_identity_matrix (cr);
			cairo_reset_clip (cr);
			const double s = ctx.scaleFactor;
			const CGraphicsTransform& t = ctx.getCurrentTransform ();
			cairo_matrix_t m, scale;
			cairo_matrix_init (&m, t.m11, t.m21, t.m12, t.m22, t.dx, t.dy);
			cairo_matrix_init_scale (&scale, s, s);
			cairo_matrix_multiply (&m, &m, &scale);
			CRect c = ctx.currentState.clipRect;
			if (!DeviceMatrix (m).usable || !DeviceMatrix (scale).usable || std::isnan (c.left) ||
			    std::isnan (c.top) || std::isnan (c.right) || std::isnan (c.bottom))
				return;
			const double limit = kMaxDeviceCoord / s;
			c.bound (CRect (-limit, -limit, limit, limit));
			cairo_scale (cr, s, s);
			cairo_rectangle (cr, c.left, c.top, std::max (0., c.getWidth ()), std::max (0., c.getHeight ()));
			cairo_clip (cr);
			cairo_matrix_init (&m, t.m11, t.m21, t.m12, t.m22, t.dx, t.dy);
			cairo_transform (cr, &m);
			cairo_set_antialias (cr, ctx.currentState.drawMode.antiAliasing () ? CAIRO_ANTIALIAS_DEFAULT
			                                                                      : CAIRO_ANTIALIAS_NONE);
			usable = true;
		}
		~Scope ()
		{
			cairo_restore (cr);
			backend.recover ();
		}
		explicit operator bool () const { return usable; }
		/** The matrix that maps the call's coordinates to device pixels now. */
		DeviceMatrix matrix () const
		{
			cairo_matrix_t m;
			cairo_get_matrix (cr, &m);
			return DeviceMatrix (m);
		}

		Backend& backend;
		cairo_t* cr;
		bool usable {false};
	};

	/** How a stroke's width reaches Cairo: pixelsPerUnit device pixels per unit of
	 *  Cairo's current matrix, unitsPerWidth of those units per unit of line width. */
	struct Pen
	{
		double pixelsPerUnit {1.};
		double unitsPerWidth {1.};
		double deviceLength {0.};

		Pen (const DeviceMatrix& dm, Shape::Mode mode, double deviceLength) : deviceLength (deviceLength)
		{
			if (mode == Shape::Mode::kDevice)
				unitsPerWidth = dm.meanStretch;
			else
				pixelsPerUnit = dm.maxStretch;
		}
	};

	static void setColor (cairo_t* cr, const CColor& c, float globalAlpha)
	{
		cairo_set_source_rgba (cr, c.red / 255., c.green / 255., c.blue / 255., c.alpha / 255. * globalAlpha);
	}

	static void setLine (cairo_t* cr, const State& st, const Pen& pen)
	{
		double w = (st.frameWidth > 0. ? st.frameWidth : 1.) * pen.unitsPerWidth;
		if (w * pen.pixelsPerUnit > kMaxDeviceLineWidth)
			w = kMaxDeviceLineWidth / pen.pixelsPerUnit;
		else if (w * pen.pixelsPerUnit < kMinDeviceLineWidth)
			w = kMinDeviceLineWidth / pen.pixelsPerUnit;
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
		// Dash lengths are given in units of the line width.
		std::vector<double> d (st.lineStyle.getDashLengths ().begin (), st.lineStyle.getDashLengths ().end ());
		double period = 0.;
		for (auto& v : d)
		{
			v *= w;
			if (!(v >= 0.) || !isFinite (v))
			{
				period = -1.;
				break;
			}
			period += v;
		}
		// Cairo refuses negative dashes and an all-zero pattern; a pattern with more
		// dashes than a stroke should have would take it minutes.
		if (d.empty () || !(period > 0.) || !isFinite (period) ||
		    pen.deviceLength / (period * pen.pixelsPerUnit) > kMaxDashCount)
		{
			cairo_set_dash (cr, nullptr, 0, 0.);
			return;
		}
		double phase = st.lineStyle.getDashPhase () * w;
		if (!isFinite (phase))
			phase = 0.;
		cairo_set_dash (cr, d.data (), static_cast<int> (d.size ()), phase);
	}

	/** Half-pixel shift that puts odd-width aliased lines on pixel centres. */
	static double alignOffset (const State& st)
	{
		if (!st.drawMode.aliasing () || !st.drawMode.integralMode ())
			return 0.;
		const double w = std::round (st.frameWidth > 0. ? st.frameWidth : 1.);
		return std::fmod (w, 2.) == 1. ? 0.5 : 0.;
	}

	/** Sets one line of text with its baseline starting where place puts it (given the
	 *  text's extents), unless the font would not show or the text reaches beyond the
	 *  limits. */
	static void drawText (CDrawContext& ctx, UTF8StringPtr string, bool antialias,
	                      const std::function<CPoint (cairo_t*, const cairo_text_extents_t&)>& place)
	{
		if (!ctx.getBackend () || !string || !*string)
			return;
		Scope scope (ctx, *ctx.backend);
		if (!scope)
			return;
		cairo_t* cr = scope.cr;
		const DeviceMatrix matrix = scope.matrix ();
		if (!selectFont (cr, ctx.getFont (), matrix.maxStretch))
			return;
		cairo_text_extents_t te;
		cairo_text_extents (cr, string, &te);
		const CPoint p = place (cr, te);
		if (!textFits (matrix, p.x, p.y, te))
			return;
		if (!antialias)
			cairo_set_antialias (cr, CAIRO_ANTIALIAS_NONE);
		setColor (cr, ctx.currentState.fontColor, ctx.currentState.globalAlpha);
		cairo_move_to (cr, p.x, p.y);
		cairo_show_text (cr, string);
	}

	/** Adds the shape and fills and/or strokes it; returns how the shape was added. */
	Shape::Mode finish (const State& st, CDrawStyle style, Shape& shape, const DeviceMatrix& dm)
	{
		const Shape::Mode mode = shape.emit (cr, dm);
		if (mode == Shape::Mode::kNothing)
			return mode;
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
			setLine (cr, st, Pen (dm, mode, shape.deviceLength ()));
			setColor (cr, st.frameColor, st.globalAlpha);
			cairo_stroke (cr);
		}
		return mode;
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
	{
		cairo_reference (backend->cr);
		backend->target = cairo_surface_reference (cairo_get_target (backend->cr));
	}
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
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	double o = Backend::alignOffset (currentState);
	Shape shape;
	shape.moveTo (start.x + o, start.y + o);
	shape.lineTo (end.x + o, end.y + o);
	backend->finish (currentState, kDrawStroked, shape, scope.matrix ());
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
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	double o = drawStyle == kDrawFilled ? 0. : Backend::alignOffset (currentState);
	Shape shape;
	shape.moveTo (points[0].x + o, points[0].y + o);
	for (size_t i = 1; i < points.size (); ++i)
		shape.lineTo (points[i].x + o, points[i].y + o);
	if (drawStyle != kDrawStroked)
		shape.close ();
	backend->finish (currentState, drawStyle, shape, scope.matrix ());
}

void CDrawContext::drawRect (const CRect& rect, const CDrawStyle drawStyle)
{
	if (!getBackend ())
		return;
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	const DeviceMatrix matrix = scope.matrix ();
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
			Shape fill;
			fill.rect (r);
			if (backend->finish (currentState, kDrawFilled, fill, matrix) == Shape::Mode::kDevice)
				cairo_set_matrix (scope.cr, &matrix.m);
		}
		Shape frame;
		const double w = std::max (0., s.getWidth ()), h = std::max (0., s.getHeight ());
		frame.rect (s.left, s.top, w, h, w > 0. ? s.right : s.left, h > 0. ? s.bottom : s.top);
		backend->finish (currentState, kDrawStroked, frame, matrix);
		return;
	}
	Shape shape;
	shape.rect (r);
	backend->finish (currentState, drawStyle, shape, matrix);
}

void CDrawContext::drawArc (const CRect& rect, const float startAngle, const float endAngle,
                            const CDrawStyle drawStyle)
{
	if (!getBackend ())
		return;
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	CRect r (rect);
	r.normalize ();
	double a1 = startAngle * M_PI / 180., a2 = endAngle * M_PI / 180.;
	Shape shape;
	if (drawStyle != kDrawStroked)
		shape.moveTo (r.left + r.getWidth () / 2., r.top + r.getHeight () / 2.);
	shape.arc (r, a1, a2, true, drawStyle == kDrawStroked);
	if (drawStyle != kDrawStroked)
		shape.close ();
	backend->finish (currentState, drawStyle, shape, scope.matrix ());
}

void CDrawContext::drawEllipse (const CRect& rect, const CDrawStyle drawStyle)
{
	if (!getBackend ())
		return;
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	CRect r (rect);
	r.normalize ();
	Shape shape;
	shape.arc (r, 0., 2. * M_PI, true, true);
	shape.close ();
	backend->finish (currentState, drawStyle, shape, scope.matrix ());
}

void CDrawContext::drawPoint (const CPoint& point, const CColor& color)
{
	if (!getBackend ())
		return;
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	Shape shape;
	shape.rect (point.x, point.y, 1., 1., point.x + 1., point.y + 1.);
	if (shape.emit (scope.cr, scope.matrix ()) == Shape::Mode::kNothing)
		return;
	Backend::setColor (scope.cr, color, currentState.globalAlpha);
	cairo_fill (scope.cr);
}

void CDrawContext::drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha)
{
	if (!getBackend () || !bitmap)
		return;
	auto surface = static_cast<cairo_surface_t*> (bitmap->getPlatformBitmap ());
	if (!surface)
		return;
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	cairo_t* cr = scope.cr;
	const DeviceMatrix matrix = scope.matrix ();
	CRect r (dest);
	r.normalize ();
	// A bitmap whose origin lies beyond the limits is far outside any surface. Pixman
	// samples it in 16.16 fixed point: it is not drawn shrunk or grown beyond 256 times.
	const double x = r.left - offset.x, y = r.top - offset.y;
	if (!matrix.inRange (x, y) || matrix.maxStretch > kMaxBitmapStretch ||
	    matrix.minStretch () < 1. / kMaxBitmapStretch)
		return;
	Shape shape;
	shape.rect (r);
	const Shape::Mode mode = shape.emit (cr, matrix);
	if (mode == Shape::Mode::kNothing)
		return;
	cairo_clip (cr);
	if (mode == Shape::Mode::kDevice)
		cairo_set_matrix (cr, &matrix.m);
	cairo_set_source_surface (cr, surface, x, y);
	if (!(alpha >= 0.f))
		alpha = 0.f;
	cairo_paint_with_alpha (cr, std::min (alpha, 1.f) * currentState.globalAlpha);
}

void CDrawContext::clearRect (const CRect& rect)
{
	if (!getBackend ())
		return;
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	CRect r (rect);
	r.normalize ();
	cairo_set_operator (scope.cr, CAIRO_OPERATOR_CLEAR);
	Shape shape;
	shape.rect (r);
	if (shape.emit (scope.cr, scope.matrix ()) != Shape::Mode::kNothing)
		cairo_fill (scope.cr);
}

CCoord CDrawContext::getStringWidth (UTF8StringPtr string)
{
	if (!string || !*string)
		return 0.;
	cairo_t* cr = getBackend () ? backend->cr : measuringContext ();
	cairo_save (cr);
	cairo_text_extents_t ext {};
	if (selectFont (cr, getFont (), 1.))
		cairo_text_extents (cr, string, &ext);
	cairo_restore (cr);
	if (backend)
		backend->recover ();
	return isFinite (ext.x_advance) ? ext.x_advance : 0.;
}

void CDrawContext::drawString (UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign,
                               bool antialias)
{
	Backend::drawText (*this, string, antialias, [&] (cairo_t* cr, const cairo_text_extents_t& te) {
		cairo_font_extents_t fe;
		cairo_font_extents (cr, &fe);
		CRect r (rect);
		r.normalize ();
		double x = r.left;
		if (hAlign == kCenterText)
			x = r.left + (r.getWidth () - te.x_advance) / 2.;
		else if (hAlign == kRightText)
			x = r.right - te.x_advance;
		double y = r.top + r.getHeight () / 2. + (fe.ascent - fe.descent) / 2.;
		return CPoint (std::round (x), std::round (y));
	});
}

void CDrawContext::drawString (UTF8StringPtr string, const CPoint& point, bool antialias)
{
	Backend::drawText (*this, string, antialias, [&] (cairo_t*, const cairo_text_extents_t&) { return point; });
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
	Backend::Scope scope (*this, *backend);
	if (!scope)
		return;
	cairo_t* cr = scope.cr;
	if (t)
	{
		cairo_matrix_t m, combined;
		cairo_matrix_init (&m, t->m11, t->m21, t->m12, t->m22, t->dx, t->dy);
		cairo_get_matrix (cr, &combined);
		cairo_matrix_multiply (&combined, &m, &combined);
		if (!DeviceMatrix (m).usable || !DeviceMatrix (combined).usable)
			return;
		cairo_transform (cr, &m);
	}
	cairo_new_path (cr);
	Shape shape;
	for (const auto& e : path->getElements ())
	{
		using E = CGraphicsPath::Element;
		switch (e.type)
		{
			case E::kBeginSubpath: shape.moveTo (e.point.x, e.point.y); break;
			case E::kCloseSubpath: shape.close (); break;
			case E::kLine: shape.lineTo (e.point.x, e.point.y); break;
			case E::kRect: shape.rect (e.rect); break;
			case E::kEllipse:
				shape.arc (e.rect, 0., 2. * M_PI, true, true);
				shape.close ();
				break;
			case E::kArc:
				shape.arc (e.rect, e.startAngle * M_PI / 180., e.endAngle * M_PI / 180., e.clockwise, false);
				break;
			case E::kBezierCurve: shape.curveTo (e.control1, e.control2, e.point); break;
		}
	}
	if (mode != kPathStroked)
		cairo_set_fill_rule (cr, mode == kPathFilledEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
	backend->finish (currentState, mode == kPathStroked ? kDrawStroked : kDrawFilled, shape, scope.matrix ());
}

//------------------------------------------------------------------------
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
