// Drawing with numbers that Cairo cannot represent: coordinates beyond its fixed-point
// range, huge, tiny, negative and non-finite line widths, font sizes, transforms, scale
// factors, offsets and dashes. Each gives a picture or nothing, never a crash, and the
// context draws on afterwards. Calls that used to crash run in a child process first,
// so that a crash fails the test instead of ending the run.
#include "guitesthelpers.h"
#include "vstgui/lib/cairopixel.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cfont.h"
#include <cairo.h>
#include <gtest/gtest.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

using namespace VSTGUI;
using namespace GuiTest;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity ();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN ();

// Every kind of number an attribute or a computation can hand the drawing layer.
const double kExtremes[] = {1e308, -1e308, 3e7,  -3e7,  2e9,    -2e9,    1e12,   8.4e6, -8.4e6,
                            1e6,   kInf,   -kInf, kNaN, 1e-320, -1e-320, 1e-300, 0.,     -0.};

// The extreme numbers a random case picks from, besides ordinary ones.
const double kRandomExtremes[] = {1e308, -1e308, 3e7, -3e7, 2e9, 1e12, -1e12, 8.4e6, 2.1e6, kInf, -kInf, kNaN,
                                  1e-320, 1e-300, 0., -0., 65536., 1e-5};

SharedPointer<COffscreenContext> makeSurface (CCoord w = 40, CCoord h = 30, double scale = 1.)
{
	auto ctx = COffscreenContext::create (CPoint (w, h), scale);
	EXPECT_TRUE (ctx);
	ctx->fill (kBlackCColor);
	return ctx;
}

/** True when the context still draws: an ordinary red square appears where asked. */
bool stillDraws (COffscreenContext& ctx)
{
	ctx.saveGlobalState ();
	ctx.resetClipRect ();
	ctx.setDrawMode (kAliasing);
	ctx.setFillColor (kRedCColor);
	ctx.setGlobalAlpha (1.f);
	ctx.drawRect (CRect (1, 1, 3, 3), kDrawFilled);
	ctx.restoreGlobalState ();
	const bool drawn = ctx.getPixel (2, 2) == kRedCColor;
	ctx.fill (kBlackCColor);
	return drawn;
}

bool allPixelsAre (const COffscreenContext& ctx, const CColor& color)
{
	for (int32_t y = 0; y < ctx.getPixelHeight (); ++y)
		for (int32_t x = 0; x < ctx.getPixelWidth (); ++x)
			if (ctx.getPixel (x, y) != color)
				return false;
	return true;
}

bool samePixels (const COffscreenContext& a, const COffscreenContext& b)
{
	if (a.getPixelWidth () != b.getPixelWidth () || a.getPixelHeight () != b.getPixelHeight ())
		return false;
	for (int32_t y = 0; y < a.getPixelHeight (); ++y)
		for (int32_t x = 0; x < a.getPixelWidth (); ++x)
			if (a.getPixel (x, y) != b.getPixel (x, y))
				return false;
	return true;
}

/** An 8 x 8 bitmap, green from the left edge to greenWidth, transparent beyond. */
SharedPointer<CBitmap> makeGreenBitmap (double greenWidth)
{
	auto bitmap = makeOwned<CBitmap> (8., 8.);
	if (auto target = static_cast<cairo_surface_t*> (bitmap->getPlatformBitmap ()))
	{
		cairo_t* cr = cairo_create (target);
		cairo_set_source_rgb (cr, 0., 1., 0.);
		cairo_rectangle (cr, 0., 0., greenWidth, 8.);
		cairo_fill (cr);
		cairo_destroy (cr);
		cairo_surface_mark_dirty (target);
	}
	return bitmap;
}

/** Every primitive with v in one place after another: coordinates, sizes, line width,
 *  font size, angles, offsets, transform, clip and dashes. */
void drawEverythingWith (CDrawContext& ctx, double v, CBitmap* bitmap)
{
	const CCoord dashes[] = {v, 2.};
	const CLineStyle dashed (CLineStyle::kLineCapRound, CLineStyle::kLineJoinMiter, v, 2, dashes);
	for (const CDrawMode mode : {CDrawMode (kAliasing), CDrawMode (kAntiAliasing)})
	{
		ctx.setDrawMode (mode);
		ctx.setLineWidth (v);
		ctx.setLineStyle (kLineSolid);
		ctx.setFillColor (kBlueCColor);
		ctx.setFrameColor (kGreenCColor);
		for (auto style : {kDrawStroked, kDrawFilled, kDrawFilledAndStroked})
		{
			ctx.drawRect (CRect (v, 2, 20, 20), style);
			ctx.drawRect (CRect (2, 2, v, v), style);
			ctx.drawRect (CRect (2, 2, 20, 20).inset (v / 2., v / 2.), style);
			ctx.drawEllipse (CRect (v, v, 20, 20), style);
			ctx.drawEllipse (CRect (5, 5, 5 + v, 8), style);
			ctx.drawArc (CRect (2, 2, 20, 20), static_cast<float> (v), 90.f, style);
			ctx.drawArc (CRect (2, 2, 20, 20), 0.f, static_cast<float> (v), style);
			ctx.drawPolygon ({CPoint (1, 1), CPoint (v, 10), CPoint (10, v)}, style);
		}
		ctx.drawLine (CPoint (v, 5), CPoint (30, 5));
		ctx.drawLine (CPoint (1, 1), CPoint (v, -v));
		ctx.drawPoint (CPoint (v, 3), kWhiteCColor);
		ctx.setLineStyle (dashed);
		ctx.drawLine (CPoint (0, 10), CPoint (40, 10));
		ctx.setLineWidth (2.);
		ctx.drawLine (CPoint (0, 10), CPoint (40, 10));
		ctx.setLineWidth (v);

		auto path = owned (ctx.createGraphicsPath ());
		path->beginSubpath (CPoint (v, 1));
		path->addLine (CPoint (10, v));
		path->addBezierCurve (CPoint (v, -v), CPoint (3, 4), CPoint (20, 20));
		path->addArc (CRect (1, 1, v, 20), v, 180., true);
		path->addArc (CRect (1, 1, 20, 20), 0., v, false);
		path->closeSubpath ();
		path->addRoundRect (CRect (2, 2, 30, v), 4.);
		path->addRoundRect (CRect (2, 2, 30, 20), v);
		path->addEllipse (CRect (-v, -v, v, v));
		path->addRect (CRect (v, v, 10, 10));
		ctx.drawGraphicsPath (path, CDrawContext::kPathFilled);
		ctx.drawGraphicsPath (path, CDrawContext::kPathFilledEvenOdd);
		ctx.drawGraphicsPath (path, CDrawContext::kPathStroked);
		ctx.setLineStyle (kLineSolid);
		ctx.drawGraphicsPath (path, CDrawContext::kPathStroked);
		for (const CGraphicsTransform& t :
		     {CGraphicsTransform ().translate (v, 0), CGraphicsTransform ().scale (v, v),
		      CGraphicsTransform ().scale (v, 1. / v), CGraphicsTransform ().rotate (v),
		      CGraphicsTransform (1., v, 0., 1., 0., 0.)})
		{
			CGraphicsTransform copy (t);
			ctx.drawGraphicsPath (path, CDrawContext::kPathStroked, &copy);
			CDrawContext::Transform scoped (ctx, t);
			ctx.drawRect (CRect (1, 1, 10, 10), kDrawFilledAndStroked);
			ctx.drawString ("Transformed", CPoint (2, 12));
			ctx.drawBitmap (bitmap, CRect (0, 0, 10, 10));
		}

		ctx.setFont (kNormalFont, v);
		ctx.setFontColor (kWhiteCColor);
		ctx.getStringWidth ("Width");
		ctx.drawString ("Palvis", CRect (2, 2, 38, 28), kCenterText);
		ctx.drawString ("Palvis", CRect (v, 2, 38, 28), kRightText);
		ctx.drawString ("Palvis", CPoint (v, 20));
		ctx.setFont (kNormalFont, 12.);
		ctx.drawString ("Palvis", CRect (2, v, 38, -v), kLeftText);
		ctx.drawString ("Palvis", CPoint (2, v));

		ctx.drawBitmap (bitmap, CRect (v, v, 20, 20));
		ctx.drawBitmap (bitmap, CRect (0, 0, 20, 20), CPoint (v, 0));
		ctx.drawBitmap (bitmap, CRect (v, 0, 20, 20), CPoint (v, v));
		ctx.drawBitmap (bitmap, CRect (0, 0, 20, 20), CPoint (0, 0), static_cast<float> (v));
		ctx.clearRect (CRect (v, 0, 5, 5));

		ctx.saveGlobalState ();
		ctx.setClipRect (CRect (v, 0, 20, v));
		ctx.drawRect (CRect (0, 0, 30, 30), kDrawFilled);
		ctx.setGlobalAlpha (static_cast<float> (v));
		ctx.drawRect (CRect (0, 0, 30, 30), kDrawFilled);
		ctx.restoreGlobalState ();
	}
}

/** A context over its own 40 x 30 pixel Cairo surface with any scale factor, as a
 *  platform frame would make one. */
class ScaledContext : public CDrawContext
{
public:
	explicit ScaledContext (double scale)
	: CDrawContext (CRect (0, 0, 40. / scale, 30. / scale)), surface (cairo_image_surface_create (CAIRO_FORMAT_ARGB32, 40, 30))
	{
		cairo_t* cr = cairo_create (surface);
		setBackend (cr, scale);
		cairo_destroy (cr);
	}
	~ScaledContext () noexcept override
	{
		setBackend (nullptr, 1.);
		cairo_surface_destroy (surface);
	}
	CColor getPixel (int32_t x, int32_t y) const { return readSurfacePixel (surface, x, y); }

private:
	cairo_surface_t* surface;
};

} // anonymous

//------------------------------------------------------------------------
TEST (DrawingLimits, NoValueCrashesAnyPrimitiveAndTheContextDrawsOn)
{
	auto bitmap = makeOwned<CBitmap> (8., 8.);
	for (double v : kExtremes)
	{
		SCOPED_TRACE (v);
		EXPECT_EXIT (
		    {
			    auto ctx = makeSurface ();
			    drawEverythingWith (*ctx, v, bitmap);
			    std::_Exit (stillDraws (*ctx) ? 0 : 1);
		    },
		    ::testing::ExitedWithCode (0), "");
		auto ctx = makeSurface ();
		drawEverythingWith (*ctx, v, bitmap);
		EXPECT_TRUE (stillDraws (*ctx));
		// The same at a scale factor of 2.
		auto scaled = makeSurface (40, 30, 2.);
		drawEverythingWith (*scaled, v, bitmap);
		EXPECT_TRUE (stillDraws (*scaled));
	}
}

TEST (DrawingLimits, RectanglesBeyondTheFixedPointRangeAreClampedNotLost)
{
	for (const CDrawMode mode : {CDrawMode (kAliasing), CDrawMode (kAntiAliasing)})
	{
		for (double v : {3e7, 2e9, 1e12, 1e308})
		{
			SCOPED_TRACE (v);
			// Covering the whole surface: everything is filled, as by a surface-sized rect.
			auto ctx = makeSurface ();
			ctx->setDrawMode (mode);
			ctx->setFillColor (kBlueCColor);
			ctx->drawRect (CRect (-v, -v, v, v), kDrawFilled);
			EXPECT_TRUE (allPixelsAre (*ctx, kBlueCColor));

			// One edge far away, the other inside: the same picture as with a near edge.
			auto far = makeSurface ();
			far->setDrawMode (mode);
			far->setFillColor (kBlueCColor);
			far->drawRect (CRect (-v, 5, 17.5, 20), kDrawFilled);
			auto near = makeSurface ();
			near->setDrawMode (mode);
			near->setFillColor (kBlueCColor);
			near->drawRect (CRect (-100, 5, 17.5, 20), kDrawFilled);
			EXPECT_TRUE (samePixels (*far, *near));

			// A path's rectangle and a bitmap clipped by a far destination, likewise.
			auto path = owned (far->createGraphicsPath ());
			path->addRect (CRect (12, -v, 30, 25));
			far->drawGraphicsPath (path);
			path->clear ();
			path->addRect (CRect (12, -50, 30, 25));
			near->drawGraphicsPath (path);
			EXPECT_TRUE (samePixels (*far, *near));
		}
	}
}

TEST (DrawingLimits, ABitmapPlacedFromAFarDestinationLandsWhereItShould)
{
	auto bitmap = makeGreenBitmap (4.); // left half green, right half transparent
	ASSERT_TRUE (bitmap->getPlatformBitmap ());
	auto expected = makeSurface ();
	expected->drawBitmap (bitmap, CRect (10, 10, 18, 18));
	for (double v : {3e7, 1e12, 1e15}) // v + 10 exact
	{
		SCOPED_TRACE (v);
		auto ctx = makeSurface ();
		ctx->drawBitmap (bitmap, CRect (-v, -v, 18, 18), CPoint (-v - 10, -v - 10));
		EXPECT_TRUE (samePixels (*ctx, *expected));
		// Its origin far away: nothing of it could show.
		ctx->fill (kBlackCColor);
		ctx->drawBitmap (bitmap, CRect (0, 0, 40, 30), CPoint (v, 0));
		EXPECT_TRUE (allPixelsAre (*ctx, kBlackCColor));
	}
}

TEST (DrawingLimits, BitmapsAreNotDrawnShrunkOrGrownBeyond256Times)
{
	auto bitmap = makeGreenBitmap (8.);
	ASSERT_TRUE (bitmap->getPlatformBitmap ());
	for (double scale : {2., 0.25, 256.})
	{
		SCOPED_TRACE (scale);
		auto ctx = makeSurface ();
		CDrawContext::Transform t (*ctx, CGraphicsTransform ().scale (scale, scale));
		ctx->drawBitmap (bitmap, CRect (0, 0, 8, 8));
		EXPECT_FALSE (allPixelsAre (*ctx, kBlackCColor));
	}
	for (double scale : {300., 1. / 300., 65536.})
	{
		SCOPED_TRACE (scale);
		auto ctx = makeSurface ();
		CDrawContext::Transform t (*ctx, CGraphicsTransform ().scale (scale, scale));
		ctx->drawBitmap (bitmap, CRect (0, 0, 8, 8));
		EXPECT_TRUE (allPixelsAre (*ctx, kBlackCColor));
	}
}

TEST (DrawingLimits, LineWidthsAreKeptWithinCairosRange)
{
	// A line across the surface as wide as a huge width is drawn, clamped to 2^20 pixels:
	// it covers everything.
	for (double w : {3e7, 1e12, 1e308, kInf})
	{
		SCOPED_TRACE (w);
		auto ctx = makeSurface ();
		ctx->setDrawMode (kAntiAliasing);
		ctx->setLineWidth (w);
		ctx->setFrameColor (kGreenCColor);
		ctx->drawLine (CPoint (-10, 15), CPoint (50, 15));
		EXPECT_TRUE (allPixelsAre (*ctx, kGreenCColor));
	}
	// Not-a-number, zero and negative widths stand for 1 as before; a denormal width is
	// drawn as the thinnest line, which leaves no visible pixel.
	for (double w : {kNaN, 0., -5.})
	{
		SCOPED_TRACE (w);
		auto ctx = makeSurface ();
		ctx->setDrawMode (kAliasing);
		ctx->setLineWidth (w);
		ctx->setFrameColor (kGreenCColor);
		ctx->drawLine (CPoint (0, 15), CPoint (40, 15));
		EXPECT_EQ (ctx->getPixel (20, 15), kGreenCColor);
		EXPECT_EQ (ctx->getPixel (20, 14), kBlackCColor);
		EXPECT_EQ (ctx->getPixel (20, 16), kBlackCColor);
	}
	auto ctx = makeSurface ();
	ctx->setDrawMode (kAntiAliasing);
	ctx->setLineWidth (1e-320);
	ctx->drawLine (CPoint (0, 15), CPoint (40, 15));
	EXPECT_TRUE (allPixelsAre (*ctx, kBlackCColor));
	EXPECT_TRUE (stillDraws (*ctx));
}

TEST (DrawingLimits, NonFiniteGeometryDrawsNothing)
{
	for (double v : {kNaN, kInf, -kInf})
	{
		SCOPED_TRACE (v);
		auto ctx = makeSurface ();
		ctx->setDrawMode (kAntiAliasing);
		ctx->setFillColor (kBlueCColor);
		ctx->setFrameColor (kBlueCColor);
		ctx->drawRect (CRect (v, 0, 40, 30), kDrawFilledAndStroked);
		ctx->drawLine (CPoint (0, 15), CPoint (v, 15));
		ctx->drawPolygon ({CPoint (0, 0), CPoint (40, 0), CPoint (v, 30)}, kDrawFilled);
		ctx->drawEllipse (CRect (0, 0, v, 30), kDrawFilled);
		auto path = owned (ctx->createGraphicsPath ());
		path->addRect (CRect (0, 0, 40, 30));
		path->addLine (CPoint (v, 3));
		ctx->drawGraphicsPath (path);
		EXPECT_TRUE (allPixelsAre (*ctx, kBlackCColor));
		EXPECT_TRUE (stillDraws (*ctx));
	}
}

TEST (DrawingLimits, TransformsAndScaleFactorsCairoCannotInvertDrawNothing)
{
	for (const CGraphicsTransform& t :
	     {CGraphicsTransform ().scale (0., 1.), CGraphicsTransform ().scale (1e-300, 1e-300),
	      CGraphicsTransform ().scale (1e300, 1.), CGraphicsTransform ().translate (kNaN, 0.),
	      CGraphicsTransform ().translate (0., kInf), CGraphicsTransform (1., 1., 1., 1., 0., 0.)})
	{
		auto ctx = makeSurface ();
		ctx->setFillColor (kBlueCColor);
		{
			CDrawContext::Transform scoped (*ctx, t);
			ctx->drawRect (CRect (0, 0, 40, 30), kDrawFilled);
			ctx->drawString ("Palvis", CPoint (2, 20));
		}
		CGraphicsTransform copy (t);
		auto path = owned (ctx->createGraphicsPath ());
		path->addRect (CRect (0, 0, 40, 30));
		ctx->drawGraphicsPath (path, CDrawContext::kPathFilled, &copy);
		EXPECT_TRUE (allPixelsAre (*ctx, kBlackCColor));
		EXPECT_TRUE (stillDraws (*ctx));
	}
	// A translation beyond the range moves everything out of sight.
	auto ctx = makeSurface ();
	ctx->setFillColor (kBlueCColor);
	{
		CDrawContext::Transform scoped (*ctx, CGraphicsTransform ().translate (3e7, 0.));
		ctx->drawRect (CRect (-3e7, 0, -3e7 + 40, 30), kDrawFilled);
	}
	EXPECT_TRUE (allPixelsAre (*ctx, kBlueCColor)); // precision kept: back in sight exactly
	ctx->fill (kBlackCColor);
	{
		CDrawContext::Transform scoped (*ctx, CGraphicsTransform ().translate (1e300, 0.));
		ctx->drawRect (CRect (0, 0, 40, 30), kDrawFilled);
	}
	EXPECT_TRUE (allPixelsAre (*ctx, kBlackCColor));

	// Scale factors that a platform frame might pass: tiny, huge, infinite. Those that
	// Cairo cannot take draw nothing; the others draw.
	for (double scale : {1e-300, 1e-6, 1e-4, 1e4, 1e6, 1e300, kInf})
	{
		SCOPED_TRACE (scale);
		ScaledContext scaled (scale);
		scaled.setFillColor (kBlueCColor);
		scaled.setFontColor (kWhiteCColor);
		scaled.drawString ("Palvis", CPoint (0, 10. / scale));
		scaled.drawLine (CPoint (0, 0), CPoint (1. / scale, 1. / scale));
		scaled.setDrawMode (kAliasing);
		scaled.drawRect (CRect (0, 0, 1. / scale, 1. / scale), kDrawFilled);
		const bool usable = scale >= 1e-4 && scale <= 1e4;
		EXPECT_EQ (scaled.getPixel (0, 0) == kBlueCColor, usable);
	}
}

TEST (DrawingLimits, FontSizesAreKeptWithinRange)
{
	// A size below a 64th of a pixel draws and measures nothing; before, Cairo refused
	// it, and the context (and the shared measuring context) stayed broken for good.
	RecordingContext measuring;
	measuring.setFont (kNormalFont, 12.);
	const CCoord normalWidth = measuring.getStringWidth ("Palvis");
	EXPECT_GT (normalWidth, 20.);
	for (double size : {1e-320, 1e-300, 1e-3})
	{
		SCOPED_TRACE (size);
		auto ctx = makeSurface (120, 30);
		ctx->setFont (kNormalFont, size);
		ctx->setFontColor (kWhiteCColor);
		ctx->drawString ("Palvis", CRect (0, 0, 120, 30));
		EXPECT_TRUE (allPixelsAre (*ctx, kBlackCColor));
		EXPECT_EQ (ctx->getStringWidth ("Palvis"), 0.);
		measuring.setFont (kNormalFont, size);
		EXPECT_EQ (measuring.getStringWidth ("Palvis"), 0.);
		ctx->setFont (kNormalFont, 12.);
		measuring.setFont (kNormalFont, 12.);
		EXPECT_EQ (ctx->getStringWidth ("Palvis"), normalWidth);
		EXPECT_EQ (measuring.getStringWidth ("Palvis"), normalWidth);
		EXPECT_TRUE (stillDraws (*ctx));
	}
	// Huge sizes are drawn at 4096 pixels: quickly, and a full block covers the surface.
	auto reference = makeSurface (120, 30);
	reference->setFont (kNormalFont, 4096.);
	const CCoord blockWidth = reference->getStringWidth ("\xe2\x96\x88");
	EXPECT_GT (blockWidth, 2000.);
	for (double size : {1e6, 1e12, 1e308, kInf})
	{
		SCOPED_TRACE (size);
		auto ctx = makeSurface (120, 30);
		ctx->setFont (kNormalFont, size);
		ctx->setFontColor (kWhiteCColor);
		const auto start = std::chrono::steady_clock::now ();
		EXPECT_EQ (ctx->getStringWidth ("\xe2\x96\x88"), blockWidth);
		ctx->drawString ("\xe2\x96\x88", CPoint (-100, 2000));
		EXPECT_LT (std::chrono::steady_clock::now () - start, std::chrono::seconds (20));
		EXPECT_TRUE (allPixelsAre (*ctx, kWhiteCColor));
		EXPECT_TRUE (stillDraws (*ctx));
	}
	// NaN, zero and negative sizes stand for 12 as before.
	auto ctx = makeSurface (120, 30);
	ctx->setFont (kNormalFont, kNaN);
	EXPECT_EQ (ctx->getStringWidth ("Palvis"), normalWidth);
}

TEST (DrawingLimits, TextBeyondTheRangeIsLeftOut)
{
	auto ctx = makeSurface (120, 30);
	ctx->setFontColor (kWhiteCColor);
	ctx->drawString ("Palvis", CRect (-3e7, 0, 3e7 + 120, 30), kLeftText);
	ctx->drawString ("Palvis", CPoint (2e9, 20));
	ctx->drawString ("Palvis", CRect (0, 1e300, 120, 30));
	EXPECT_TRUE (allPixelsAre (*ctx, kBlackCColor));
	// A wide rectangle centred on the surface still centres its text on it.
	ctx->drawString ("Palvis", CRect (-1e6, 0, 1e6 + 120, 30));
	EXPECT_FALSE (allPixelsAre (*ctx, kBlackCColor));
}

TEST (DrawingLimits, DashPatternsCairoRefusesOrCannotFinishAreDrawnSolid)
{
	const CCoord zeroAfterScaling[] = {1e-300, 1e-300};
	const CCoord negative[] = {2., -1.};
	const CCoord notANumber[] = {kNaN, 1.};
	const CCoord huge[] = {1e308, 1e308};
	const CCoord tiny[] = {0.02, 0.02};
	struct Case
	{
		const CCoord* lengths;
		double width;
		CPoint end;
	};
	for (const Case& c : {Case {zeroAfterScaling, 1e-300, CPoint (40, 15)}, Case {negative, 1., CPoint (40, 15)},
	                      Case {notANumber, 1., CPoint (40, 15)}, Case {huge, 10., CPoint (40, 15)},
	                      Case {tiny, 1., CPoint (3e7, 15)}})
	{
		auto ctx = makeSurface ();
		ctx->setDrawMode (kAliasing);
		ctx->setFrameColor (kGreenCColor);
		ctx->setLineStyle (CLineStyle (CLineStyle::kLineCapButt, CLineStyle::kLineJoinMiter, 0., 2, c.lengths));
		ctx->setLineWidth (c.width < 1e-3 ? 1e-300 : c.width);
		const auto start = std::chrono::steady_clock::now ();
		ctx->drawLine (CPoint (0, 15), c.end);
		EXPECT_LT (std::chrono::steady_clock::now () - start, std::chrono::seconds (20));
		EXPECT_TRUE (stillDraws (*ctx));
		// The same line again at width 2: solid, or for the huge pattern one long dash.
		ctx->setLineWidth (2.);
		ctx->drawLine (CPoint (0, 15), c.end);
		for (int x : {1, 10, 25, 38})
			EXPECT_EQ (ctx->getPixel (x, 15), kGreenCColor) << x;
	}
}

TEST (DrawingLimits, ArcsWithEndlessTurnsFinishAndLookLikeOneTurn)
{
	auto once = makeSurface ();
	auto endless = makeSurface ();
	for (auto* ctx : {once.get (), endless.get ()})
	{
		ctx->setDrawMode (kAntiAliasing);
		ctx->setFrameColor (kWhiteCColor);
		ctx->setLineWidth (2.);
	}
	once->drawArc (CRect (5, 5, 25, 25), 0.f, 360.f);
	const auto start = std::chrono::steady_clock::now ();
	endless->drawArc (CRect (5, 5, 25, 25), 0.f, 360.f * 1048576.f);
	EXPECT_LT (std::chrono::steady_clock::now () - start, std::chrono::seconds (20));
	EXPECT_EQ (endless->getPixel (15, 15), kBlackCColor);
	for (const CPoint& p : {CPoint (15, 25), CPoint (5, 15), CPoint (15, 5), CPoint (22, 22)})
		EXPECT_EQ (once->getPixel (p.x, p.y), endless->getPixel (p.x, p.y)) << p.x << ", " << p.y;
}

TEST (DrawingLimits, ACairoErrorDoesNotStopLaterDrawing)
{
	// Text that is not UTF-8 puts Cairo's context into its error state; the next call
	// starts from a new context on the same surface.
	auto ctx = makeSurface ();
	ctx->setFontColor (kWhiteCColor);
	ctx->drawString ("\xff\xfe broken", CPoint (2, 20));
	EXPECT_TRUE (stillDraws (*ctx));
	EXPECT_EQ (ctx->getStringWidth ("\xc3"), 0.);
	EXPECT_GT (ctx->getStringWidth ("Palvis"), 20.);
	RecordingContext measuring;
	measuring.getStringWidth ("\xc3\x28");
	EXPECT_GT (measuring.getStringWidth ("Palvis"), 20.);
}

TEST (DrawingLimits, ClipRectanglesBeyondTheRange)
{
	for (double v : {3e7, 1e308})
	{
		SCOPED_TRACE (v);
		auto ctx = makeSurface ();
		ctx->setFillColor (kBlueCColor);
		ctx->setClipRect (CRect (-v, -v, v, v));
		ctx->drawRect (CRect (0, 0, 40, 30), kDrawFilled);
		EXPECT_TRUE (allPixelsAre (*ctx, kBlueCColor));
		ctx->fill (kBlackCColor);
		ctx->setClipRect (CRect (20, 0, v, 30));
		ctx->drawRect (CRect (0, 0, 40, 30), kDrawFilled);
		EXPECT_EQ (ctx->getPixel (19, 10), kBlackCColor);
		EXPECT_EQ (ctx->getPixel (20, 10), kBlueCColor);
	}
	// An infinite edge is clamped like a far one.
	auto ctx = makeSurface ();
	ctx->setFillColor (kBlueCColor);
	ctx->setClipRect (CRect (20, 0, kInf, 30));
	ctx->drawRect (CRect (0, 0, 40, 30), kDrawFilled);
	EXPECT_EQ (ctx->getPixel (19, 10), kBlackCColor);
	EXPECT_EQ (ctx->getPixel (39, 10), kBlueCColor);
	ctx->resetClipRect ();
	EXPECT_TRUE (stillDraws (*ctx));
}

// Seeded random drawing calls, each value ordinary or extreme; after every call the
// context must still draw. Runs in a child process, so a crash fails the test.
TEST (DrawingLimits, RandomCallsWithExtremeValues)
{
	auto run = [] (uint32_t seed, int calls) {
		std::mt19937 rng (seed);
		auto value = [&] () -> double {
			switch (rng () % 4)
			{
				case 0: return kRandomExtremes[rng () % (sizeof (kRandomExtremes) / sizeof (double))];
				case 1: return std::uniform_real_distribution<double> (-1e9, 1e9) (rng);
				default: return std::uniform_real_distribution<double> (-10., 50.) (rng);
			}
		};
		auto bitmap = makeOwned<CBitmap> (6., 6.);
		auto ctx = makeSurface (40, 30, (rng () % 2) ? 1. : 2.);
		for (int i = 0; i < calls; ++i)
		{
			ctx->saveGlobalState ();
			ctx->setDrawMode ((rng () % 2) ? kAliasing : kAntiAliasing);
			ctx->setLineWidth (value ());
			if (rng () % 3 == 0)
			{
				const CCoord dashes[] = {value (), value ()};
				ctx->setLineStyle (CLineStyle (CLineStyle::kLineCapSquare, CLineStyle::kLineJoinMiter, value (), 2,
				                               dashes));
			}
			if (rng () % 4 == 0)
				ctx->setClipRect (CRect (value (), value (), value (), value ()));
			ctx->setFont (kNormalFont, value ());
			ctx->setFillColor (kBlueCColor);
			CGraphicsTransform t;
			if (rng () % 4 == 0)
				t = CGraphicsTransform (value (), value (), value (), value (), value (), value ());
			ctx->pushTransform (t);
			const CRect r (value (), value (), value (), value ());
			switch (rng () % 9)
			{
				case 0: ctx->drawRect (r, static_cast<CDrawStyle> (rng () % 3)); break;
				case 1: ctx->drawLine (r.getTopLeft (), r.getBottomRight ()); break;
				case 2: ctx->drawEllipse (r, static_cast<CDrawStyle> (rng () % 3)); break;
				case 3:
					ctx->drawArc (r, static_cast<float> (value ()), static_cast<float> (value ()),
					              static_cast<CDrawStyle> (rng () % 3));
					break;
				case 4: ctx->drawString ("Palvis", r, kCenterText); break;
				case 5: ctx->drawBitmap (bitmap, r, CPoint (value (), value ())); break;
				case 6:
					ctx->drawPolygon ({r.getTopLeft (), r.getBottomRight (), CPoint (value (), value ())},
					                  static_cast<CDrawStyle> (rng () % 3));
					break;
				default:
				{
					auto path = owned (ctx->createGraphicsPath ());
					path->addRoundRect (r, value ());
					path->addArc (CRect (value (), value (), value (), value ()), value (), value (), rng () % 2);
					path->addBezierCurve (CPoint (value (), value ()), CPoint (value (), value ()),
					                      CPoint (value (), value ()));
					CGraphicsTransform pt (value (), 0., 0., value (), value (), value ());
					ctx->drawGraphicsPath (path, static_cast<CDrawContext::PathDrawMode> (rng () % 3),
					                       (rng () % 2) ? &pt : nullptr);
				}
			}
			ctx->popTransform ();
			ctx->restoreGlobalState ();
			if (!stillDraws (*ctx))
				return false;
		}
		return true;
	};
	for (uint32_t seed : {1u, 2u, 3u, 4u})
	{
		SCOPED_TRACE (seed);
		EXPECT_EXIT (std::_Exit (run (seed, 300) ? 0 : 1), ::testing::ExitedWithCode (0), "");
	}
	EXPECT_TRUE (run (5u, 300));
}
