// Geometry, colours, reference counting, text and the assertion routine.
#include "vstgui/lib/crect.h"
#include "vstgui/lib/ccolor.h"
#include "vstgui/lib/cstring.h"
#include "vstgui/lib/cbuttonstate.h"
#include "vstgui/lib/vstkeycode.h"
#include "vstgui/lib/vstguidebug.h"
#include "vstgui/lib/cgraphicstransform.h"
#include "vstgui/lib/cresourcedescription.h"
#include "vstgui/lib/vstguiinit.h"
#include <gtest/gtest.h>
#include <stdexcept>

using namespace VSTGUI;

TEST (GuiGeometry, RectHelpers)
{
	CRect r (10, 20, 110, 40);
	EXPECT_EQ (r.getWidth (), 100);
	EXPECT_EQ (r.getHeight (), 20);
	r.setWidth (50);
	EXPECT_EQ (r.right, 60);
	r.offset (5, -5);
	EXPECT_EQ (r, CRect (15, 15, 65, 35));
	r.inset (5, 5);
	EXPECT_EQ (r, CRect (20, 20, 60, 30));

	// Left and top edges inside, right and bottom outside.
	EXPECT_TRUE (r.pointInside (CPoint (20, 20)));
	EXPECT_FALSE (r.pointInside (CPoint (60, 25)));
	EXPECT_FALSE (r.pointInside (CPoint (30, 30)));

	CRect reversed (50, 40, 10, 0);
	reversed.normalize ();
	EXPECT_EQ (reversed, CRect (10, 0, 50, 40));

	CRect a (0, 0, 10, 10);
	a.bound (CRect (5, 5, 20, 20));
	EXPECT_EQ (a, CRect (5, 5, 10, 10));
	CRect apart (0, 0, 10, 10);
	apart.bound (CRect (20, 20, 30, 30));
	EXPECT_TRUE (apart.isEmpty ());

	CRect u (0, 0, 10, 10);
	u.unite (CRect (-5, 2, 3, 30));
	EXPECT_EQ (u, CRect (-5, 0, 10, 30));

	CRect m (0, 0, 10, 20);
	m.moveTo (CPoint (100, 200));
	EXPECT_EQ (m, CRect (100, 200, 110, 220));
	EXPECT_EQ (m.getCenter (), CPoint (105, 210));
	CRect fr (0.4, 0.6, 9.2, 9.8);
	fr.makeIntegral ();
	EXPECT_EQ (fr, CRect (0, 0, 10, 10));
}

TEST (GuiGeometry, TransformsCompose)
{
	CGraphicsTransform t;
	t.translate (10, 20);
	CGraphicsTransform s = CGraphicsTransform ().scale (2, 3);
	// (t * s) applies s first, then t.
	CPoint p = (t * s).transform (CPoint (1, 1));
	EXPECT_EQ (p, CPoint (12, 23));
	CPoint back = (t * s).inverse ().transform (p);
	EXPECT_NEAR (back.x, 1, 1e-12);
	EXPECT_NEAR (back.y, 1, 1e-12);
	CRect r = t.transform (CRect (0, 0, 5, 5));
	EXPECT_EQ (r, CRect (10, 20, 15, 25));
}

TEST (GuiColor, ConstantsAndParsing)
{
	EXPECT_EQ (kBlackCColor, CColor (0, 0, 0, 255));
	EXPECT_EQ (kWhiteCColor, CColor (255, 255, 255, 255));
	EXPECT_EQ (kGreyCColor, CColor (127, 127, 127, 255));
	static_assert (sizeof (CColor) == 4, "four bytes");

	CColor c;
	ASSERT_TRUE (c.fromString ("#10a0fF80"));
	EXPECT_EQ (c, CColor (0x10, 0xa0, 0xff, 0x80));
	ASSERT_TRUE (c.fromString ("#000102"));
	EXPECT_EQ (c, CColor (0, 1, 2, 255));
	char text[10];
	CColor (1, 0xab, 0xcd, 0xef).toString (text);
	EXPECT_STREQ (text, "#01abcdef");
	// Bad texts leave the colour as it was.
	CColor keep (1, 2, 3, 4);
	for (auto bad : {"", "#", "#12345", "#1234567", "123456", "#gg0000", "#12345678a"})
	{
		EXPECT_FALSE (keep.fromString (bad)) << bad;
		EXPECT_EQ (keep, CColor (1, 2, 3, 4));
	}
	EXPECT_FALSE (keep.fromString (nullptr));
}

namespace {
struct Counted : CBaseObject
{
	static int alive;
	static int beforeDeleteCalls;
	Counted () { ++alive; }
	~Counted () noexcept override { --alive; }
	void beforeDelete () override { ++beforeDeleteCalls; }
};
int Counted::alive = 0;
int Counted::beforeDeleteCalls = 0;
} // anonymous

TEST (GuiBase, ReferenceCountingAndSharedPointer)
{
	Counted::alive = 0;
	Counted::beforeDeleteCalls = 0;
	{
		auto p = makeOwned<Counted> ();
		EXPECT_EQ (p->getNbReference (), 1);
		{
			SharedPointer<Counted> q = p;
			EXPECT_EQ (p->getNbReference (), 2);
			SharedPointer<CBaseObject> base = q;
			EXPECT_EQ (p->getNbReference (), 3);
			base = nullptr;
			EXPECT_EQ (p->getNbReference (), 2);
		}
		EXPECT_EQ (p->getNbReference (), 1);
		SharedPointer<Counted> moved = std::move (p);
		EXPECT_FALSE (p);
		EXPECT_EQ (moved->getNbReference (), 1);
		EXPECT_EQ (Counted::alive, 1);
	}
	EXPECT_EQ (Counted::alive, 0);
	EXPECT_EQ (Counted::beforeDeleteCalls, 1);

	// remember/forget by hand; a self-assignment keeps the object.
	auto raw = new Counted;
	raw->remember ();
	raw->forget ();
	EXPECT_EQ (Counted::alive, 1);
	SharedPointer<Counted> owner = owned (raw);
	owner = owner;
	EXPECT_EQ (raw->getNbReference (), 1);
	owner = nullptr;
	EXPECT_EQ (Counted::alive, 0);
}

TEST (GuiBase, UTF8String)
{
	UTF8String empty (nullptr);
	EXPECT_TRUE (empty.empty ());
	EXPECT_STREQ (empty, "");
	UTF8String s ("2.1.0, VST3");
	EXPECT_EQ (s.length (), 11u);
	EXPECT_TRUE (s == "2.1.0, VST3");
	s += " x86";
	EXPECT_EQ (s.getString (), "2.1.0, VST3 x86");
	UTF8String umlaut ("\xC3\xA4");
	EXPECT_EQ (umlaut.length (), 2u);
}

TEST (GuiBase, ButtonStateAndKeyModifiers)
{
	EXPECT_EQ (kLButton, 2);
	EXPECT_EQ (kShift, 16);
	EXPECT_EQ (kControl, 32);
	EXPECT_EQ (kAlt, 64);
	EXPECT_EQ (kApple, 128);
	EXPECT_EQ (CButtonState::kButtonMask, 782);
	EXPECT_EQ (CButtonState::kModifierMask, 240);
	CButtonState b (kLButton | kAlt | kDoubleClick);
	EXPECT_TRUE (b.isLeftButton ());
	EXPECT_TRUE (b.isLeftButtonAlone ());
	EXPECT_TRUE (b.isDoubleClick ());
	EXPECT_EQ (b.getModifierState (), kAlt);
	EXPECT_FALSE (CButtonState (kLButton | kRButton).isLeftButtonAlone ());
	EXPECT_TRUE (CButtonState (kLButton | kRButton).isLeftButton ());

	EXPECT_EQ (mapVstKeyModifier (MODIFIER_SHIFT), 16);
	EXPECT_EQ (mapVstKeyModifier (MODIFIER_ALTERNATE), 64);
	EXPECT_EQ (mapVstKeyModifier (MODIFIER_COMMAND), 128);
	EXPECT_EQ (mapVstKeyModifier (MODIFIER_CONTROL), 32);
	EXPECT_EQ (mapVstKeyModifier (0xF), 240);
}

TEST (GuiBase, AssertionHandler)
{
	// Without a handler nothing happens.
	setAssertionHandler (nullptr);
	EXPECT_FALSE (hasAssertionHandler ());
	EXPECT_NO_THROW (vstgui_assert (false, "ignored"));

	std::string file, line, message;
	int calls = 0;
	setAssertionHandler ([&] (const char* f, const char* l, const char* d) {
		++calls;
		file = f;
		line = l;
		message = d ? d : "";
	});
	vstgui_assert (1 + 1 == 2, "not reported");
	EXPECT_EQ (calls, 0);
	const int expectedLine = __LINE__ + 1;
	vstgui_assert (1 + 1 == 3, "do not set the global mode to use global");
	EXPECT_EQ (calls, 1);
	EXPECT_NE (file.find ("basics_test.cpp"), std::string::npos);
	EXPECT_EQ (line, std::to_string (expectedLine));
	EXPECT_EQ (message, "do not set the global mode to use global");
	vstgui_assert (false);
	EXPECT_EQ (message, "");

	// A throwing handler's exception reaches the caller.
	setAssertionHandler ([] (const char*, const char*, const char* d) { throw std::logic_error (d ? d : "?"); });
	EXPECT_THROW (vstgui_assert (false, "boom"), std::logic_error);
	setAssertionHandler (nullptr);
}

TEST (GuiBase, ResourcePaths)
{
	setResourceDirectory ("/bundle/Contents/Resources");
	EXPECT_EQ (resolveResourcePath (CResourceDescription ("knob.png")), "/bundle/Contents/Resources/knob.png");
	EXPECT_EQ (resolveResourcePath (CResourceDescription ("/abs/x.png")), "/abs/x.png");
	EXPECT_EQ (resolveResourcePath (CResourceDescription (12)), "/bundle/Contents/Resources/12.png");
	EXPECT_EQ (resolveResourcePath (CResourceDescription ()), "");
	setResourceDirectory ("");
	EXPECT_EQ (resolveResourcePath (CResourceDescription ("a.png")), "a.png");
	// init() with no bundle around keeps an unset directory unset.
	VSTGUI::init (nullptr);
	EXPECT_EQ (getResourceDirectory (), "");
	VSTGUI::exit ();
}

// Fontconfig (reached through Cairo's text drawing) keeps its caches for the life of
// the process by design; they are not leaks of this library.
extern "C" __attribute__ ((visibility ("default"))) const char* __lsan_default_suppressions ()
{
	return "leak:libfontconfig.so\n";
}
