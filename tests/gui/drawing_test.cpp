// Drawing into offscreen Cairo contexts, bitmaps and text.
#include "guitesthelpers.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cfont.h"
#include "vstgui/lib/cresourcedescription.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <unistd.h>

using namespace VSTGUI;
using namespace GuiTest;

namespace {

SharedPointer<COffscreenContext> makeContext (CCoord w = 40, CCoord h = 30)
{
	auto ctx = COffscreenContext::create (CPoint (w, h));
	EXPECT_TRUE (ctx);
	ctx->fill (kBlackCColor);
	return ctx;
}

std::string tempDir ()
{
	char tmpl[] = "/tmp/guitestXXXXXX";
	char* dir = mkdtemp (tmpl);
	return dir ? dir : "/tmp";
}

} // anonymous

TEST (GuiDrawing, FilledRectGivesExactPixels)
{
	auto ctx = makeContext ();
	ctx->setDrawMode (kAliasing);
	ctx->setFillColor (CColor (255, 0, 0, 255));
	ctx->drawRect (CRect (10, 5, 20, 15), kDrawFilled);
	EXPECT_EQ (ctx->getPixel (10, 5), CColor (255, 0, 0, 255));
	EXPECT_EQ (ctx->getPixel (19, 14), CColor (255, 0, 0, 255));
	EXPECT_EQ (ctx->getPixel (20, 14), kBlackCColor);
	EXPECT_EQ (ctx->getPixel (19, 15), kBlackCColor);
	EXPECT_EQ (ctx->getPixel (9, 5), kBlackCColor);
	// Out of bounds reads give transparent black.
	EXPECT_EQ (ctx->getPixel (-1, 0), CColor (0, 0, 0, 0));
	EXPECT_EQ (ctx->getPixel (40, 0), CColor (0, 0, 0, 0));
}

TEST (GuiDrawing, AliasedStrokeLiesInsideTheRect)
{
	auto ctx = makeContext ();
	ctx->setDrawMode (kAliasing);
	ctx->setLineWidth (1);
	ctx->setFrameColor (kWhiteCColor);
	ctx->drawRect (CRect (10, 10, 20, 20), kDrawStroked);
	EXPECT_EQ (ctx->getPixel (10, 10), kWhiteCColor);
	EXPECT_EQ (ctx->getPixel (19, 15), kWhiteCColor);
	EXPECT_EQ (ctx->getPixel (15, 19), kWhiteCColor);
	EXPECT_EQ (ctx->getPixel (15, 15), kBlackCColor);
	EXPECT_EQ (ctx->getPixel (20, 15), kBlackCColor);
	EXPECT_EQ (ctx->getPixel (9, 15), kBlackCColor);
}

TEST (GuiDrawing, FilledAndStrokedUsesBothColours)
{
	auto ctx = makeContext ();
	ctx->setDrawMode (kAliasing);
	ctx->setFillColor (CColor (0, 0, 255, 255));
	ctx->setFrameColor (CColor (0, 255, 0, 255));
	ctx->drawRect (CRect (0, 0, 10, 10), kDrawFilledAndStroked);
	EXPECT_EQ (ctx->getPixel (0, 0), CColor (0, 255, 0, 255));
	EXPECT_EQ (ctx->getPixel (5, 5), CColor (0, 0, 255, 255));
}

TEST (GuiDrawing, ClipAndTransform)
{
	auto ctx = makeContext ();
	ctx->setDrawMode (kAliasing);
	ctx->setFillColor (kWhiteCColor);
	{
		CDrawContext::Transform t (*ctx, CGraphicsTransform ().translate (10, 10));
		ctx->setClipRect (CRect (0, 0, 5, 5));
		CRect clip;
		ctx->getClipRect (clip);
		EXPECT_EQ (clip, CRect (0, 0, 5, 5));
		ctx->drawRect (CRect (0, 0, 20, 20), kDrawFilled);
	}
	CRect clip;
	ctx->getClipRect (clip);
	EXPECT_EQ (clip, CRect (10, 10, 15, 15)); // the clip stays where it was set, in surface terms
	EXPECT_EQ (ctx->getPixel (10, 10), kWhiteCColor);
	EXPECT_EQ (ctx->getPixel (14, 14), kWhiteCColor);
	EXPECT_EQ (ctx->getPixel (15, 15), kBlackCColor);
	EXPECT_EQ (ctx->getPixel (9, 9), kBlackCColor);

	ctx->resetClipRect ();
	ctx->getClipRect (clip);
	EXPECT_EQ (clip, CRect (0, 0, 40, 30));
}

TEST (GuiDrawing, SaveAndRestoreState)
{
	auto ctx = makeContext ();
	ctx->setFillColor (kRedCColor);
	ctx->setLineWidth (3);
	ctx->saveGlobalState ();
	ctx->setFillColor (kBlueCColor);
	ctx->setLineWidth (7);
	ctx->setClipRect (CRect (1, 1, 2, 2));
	ctx->restoreGlobalState ();
	EXPECT_EQ (ctx->getFillColor (), kRedCColor);
	EXPECT_EQ (ctx->getLineWidth (), 3);
	CRect clip;
	EXPECT_EQ (ctx->getClipRect (clip), CRect (0, 0, 40, 30));
	// An unbalanced restore is harmless.
	ctx->restoreGlobalState ();
	EXPECT_EQ (ctx->getFillColor (), kRedCColor);
}

TEST (GuiDrawing, PathsFillStrokeAndEvenOdd)
{
	auto ctx = makeContext (60, 40);
	ctx->setDrawMode (kAliasing);
	auto path = owned (ctx->createGraphicsPath ());
	ASSERT_TRUE (path);
	path->addRect (CRect (0, 0, 30, 30));
	path->addRect (CRect (10, 10, 20, 20));
	ctx->setFillColor (kWhiteCColor);
	ctx->drawGraphicsPath (path, CDrawContext::kPathFilledEvenOdd);
	EXPECT_EQ (ctx->getPixel (5, 5), kWhiteCColor);
	EXPECT_EQ (ctx->getPixel (15, 15), kBlackCColor); // the hole
	ctx->drawGraphicsPath (path, CDrawContext::kPathFilled);
	EXPECT_EQ (ctx->getPixel (15, 15), kWhiteCColor); // same direction: winding fills it

	auto ellipse = owned (ctx->createGraphicsPath ());
	ellipse->addEllipse (CRect (35, 5, 55, 25));
	ctx->setFillColor (kGreenCColor);
	ctx->drawGraphicsPath (ellipse, CDrawContext::kPathFilled);
	EXPECT_EQ (ctx->getPixel (45, 15), kGreenCColor);
	EXPECT_EQ (ctx->getPixel (36, 6), kBlackCColor); // corner outside the ellipse

	auto line = owned (ctx->createGraphicsPath ());
	line->beginSubpath (CPoint (0, 35.5));
	line->addLine (CPoint (60, 35.5));
	ctx->setFrameColor (kRedCColor);
	ctx->setLineWidth (1);
	ctx->drawGraphicsPath (line, CDrawContext::kPathStroked);
	EXPECT_EQ (ctx->getPixel (30, 35), kRedCColor);
	EXPECT_EQ (ctx->getPixel (30, 34), kBlackCColor);
}

TEST (GuiDrawing, LinesAndEllipses)
{
	auto ctx = makeContext ();
	ctx->setDrawMode (kAliasing);
	ctx->setFrameColor (kWhiteCColor);
	ctx->setLineWidth (1);
	ctx->drawLine (CPoint (0, 3), CPoint (40, 3));
	EXPECT_EQ (ctx->getPixel (20, 3), kWhiteCColor);
	EXPECT_EQ (ctx->getPixel (20, 2), kBlackCColor);
	EXPECT_EQ (ctx->getPixel (20, 4), kBlackCColor);
	ctx->setFillColor (kBlueCColor);
	ctx->drawEllipse (CRect (10, 10, 30, 30), kDrawFilled);
	EXPECT_EQ (ctx->getPixel (20, 20), kBlueCColor);
	EXPECT_EQ (ctx->getPixel (11, 11), kBlackCColor);
	ctx->setLineStyle (kLineOnOffDash);
	EXPECT_EQ (ctx->getLineStyle ().getDashCount (), 2u);
	EXPECT_EQ (kLineSolid.getDashCount (), 0u);
}

TEST (GuiDrawing, GlobalAlphaScalesColours)
{
	auto ctx = makeContext ();
	ctx->setDrawMode (kAliasing);
	ctx->setGlobalAlpha (0.5f);
	ctx->setFillColor (kWhiteCColor);
	ctx->drawRect (CRect (0, 0, 10, 10), kDrawFilled);
	CColor c = ctx->getPixel (5, 5);
	EXPECT_NEAR (c.red, 128, 1);
	EXPECT_EQ (c.alpha, 255);
	ctx->setGlobalAlpha (-3.f);
	EXPECT_EQ (ctx->getGlobalAlpha (), 0.f);
}

TEST (GuiDrawing, ScaleFactorAndHairline)
{
	auto ctx = COffscreenContext::create (CPoint (10, 10), 2.);
	ASSERT_TRUE (ctx);
	EXPECT_EQ (ctx->getPixelWidth (), 20);
	EXPECT_DOUBLE_EQ (ctx->getHairlineSize (), 0.5);
	ctx->fill (kBlackCColor);
	ctx->setDrawMode (kAliasing);
	ctx->setFillColor (kWhiteCColor);
	ctx->drawRect (CRect (0, 0, 5, 5), kDrawFilled);
	EXPECT_EQ (ctx->getPixel (9, 9), kWhiteCColor);
	EXPECT_EQ (ctx->getPixel (10, 10), kBlackCColor);
	EXPECT_FALSE (COffscreenContext::create (CPoint (0, 10)));
	EXPECT_FALSE (COffscreenContext::create (CPoint (100000, 10)));
	EXPECT_FALSE (COffscreenContext::create (CPoint (10, 10), 0.));
}

TEST (GuiDrawing, BitmapLoadAndDrawWithOffset)
{
	// Make a PNG of two stacked halves: red on top, blue below.
	std::string dir = tempDir ();
	{
		auto src = COffscreenContext::create (CPoint (4, 8));
		ASSERT_TRUE (src);
		src->setDrawMode (kAliasing);
		src->setFillColor (kRedCColor);
		src->drawRect (CRect (0, 0, 4, 4), kDrawFilled);
		src->setFillColor (kBlueCColor);
		src->drawRect (CRect (0, 4, 4, 8), kDrawFilled);
		ASSERT_TRUE (src->writePNG ((dir + "/halves.png").c_str ()));
	}
	setResourceDirectory (dir);
	auto bitmap = makeOwned<CBitmap> (CResourceDescription ("halves.png"));
	ASSERT_TRUE (bitmap->isLoaded ());
	EXPECT_EQ (bitmap->getWidth (), 4);
	EXPECT_EQ (bitmap->getHeight (), 8);
	EXPECT_EQ (bitmap->getPixel (0, 0), kRedCColor);
	EXPECT_EQ (bitmap->getPixel (0, 7), kBlueCColor);

	auto ctx = makeContext (10, 10);
	ctx->drawBitmap (bitmap, CRect (2, 2, 6, 6));
	EXPECT_EQ (ctx->getPixel (2, 2), kRedCColor);
	EXPECT_EQ (ctx->getPixel (5, 5), kRedCColor);
	EXPECT_EQ (ctx->getPixel (6, 6), kBlackCColor); // clipped to the destination
	ctx->drawBitmap (bitmap, CRect (2, 2, 6, 6), CPoint (0, 4));
	EXPECT_EQ (ctx->getPixel (2, 2), kBlueCColor);
	ctx->drawBitmap (bitmap, CRect (2, 2, 6, 6), CPoint (0, 0), 0.f);
	EXPECT_EQ (ctx->getPixel (2, 2), kBlueCColor); // alpha 0 draws nothing

	auto missing = makeOwned<CBitmap> (CResourceDescription ("missing.png"));
	EXPECT_FALSE (missing->isLoaded ());
	EXPECT_EQ (missing->getWidth (), 0);
	ctx->drawBitmap (missing, CRect (0, 0, 10, 10)); // harmless
	ctx->drawBitmap (nullptr, CRect (0, 0, 10, 10));

	// A file that is not a PNG does not load.
	FILE* f = std::fopen ((dir + "/bad.png").c_str (), "wb");
	std::fputs ("not a png", f);
	std::fclose (f);
	EXPECT_FALSE (makeOwned<CBitmap> (CResourceDescription ("bad.png"))->isLoaded ());
	std::remove ((dir + "/bad.png").c_str ());
	std::remove ((dir + "/halves.png").c_str ());
	rmdir (dir.c_str ());
	setResourceDirectory ("");
}

TEST (GuiDrawing, TextIsDrawnWithTheFontColour)
{
	auto ctx = makeContext (120, 30);
	ctx->setFont (kNormalFont, 20);
	EXPECT_EQ (ctx->getFont ()->getSize (), 20);
	EXPECT_EQ (kNormalFont->getSize (), 12); // the shared font is left alone
	ctx->setFontColor (kWhiteCColor);
	CCoord width = ctx->getStringWidth ("Palvis");
	EXPECT_GT (width, 40);
	EXPECT_LT (width, 110);
	ctx->drawString ("Palvis", CRect (0, 0, 120, 30), kLeftText);
	int lit = 0;
	int maxX = 0;
	for (int y = 0; y < 30; ++y)
		for (int x = 0; x < 120; ++x)
			if (ctx->getPixel (x, y).red > 128)
			{
				++lit;
				maxX = std::max (maxX, x);
			}
	EXPECT_GT (lit, 50);
	EXPECT_LE (maxX, static_cast<int> (width) + 1); // left-aligned text ends at its width
	EXPECT_EQ (ctx->getStringWidth (""), 0);

	// A context without a backend still measures.
	RecordingContext rec;
	rec.setFont (kNormalFont, 20);
	EXPECT_DOUBLE_EQ (rec.getStringWidth ("Palvis"), width);
}

TEST (GuiDrawing, ContextWithoutBackendKeepsState)
{
	RecordingContext rec (false);
	EXPECT_EQ (rec.createGraphicsPath (), nullptr);
	rec.setLineWidth (4);
	rec.setDrawMode (kAntiAliasing);
	EXPECT_EQ (rec.getLineWidth (), 4);
	EXPECT_TRUE (rec.getDrawMode ().antiAliasing ());
	EXPECT_DOUBLE_EQ (rec.getHairlineSize (), 1.);
	// The plain base context draws nothing and does not crash.
	auto plain = makeOwned<CDrawContext> (CRect (0, 0, 10, 10));
	plain->drawRect (CRect (0, 0, 5, 5), kDrawFilled);
	plain->drawString ("x", CRect (0, 0, 5, 5));
	auto path = owned (plain->createGraphicsPath ());
	path->addRect (CRect (1, 2, 3, 4));
	plain->drawGraphicsPath (path);
	EXPECT_EQ (path->getBoundingBox (), CRect (1, 2, 3, 4));
}

TEST (GuiDrawing, WritesPng)
{
	auto ctx = makeContext (8, 8);
	std::string dir = tempDir ();
	std::string file = dir + "/out.png";
	ASSERT_TRUE (ctx->writePNG (file.c_str ()));
	setResourceDirectory ("");
	auto back = makeOwned<CBitmap> (CResourceDescription (file));
	EXPECT_TRUE (back->isLoaded ());
	EXPECT_EQ (back->getPixel (3, 3), kBlackCColor);
	EXPECT_FALSE (ctx->writePNG ("/nonexistent-dir/x.png"));
	std::remove (file.c_str ());
	rmdir (dir.c_str ());
}
