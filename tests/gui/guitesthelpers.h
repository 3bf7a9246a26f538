// Shared helpers of the GUI library tests.
#pragma once

#include "controlrecorders.h"

#include "vstgui/lib/cdrawcontext.h"
#include <string>
#include <vector>

namespace GuiTest {

using namespace VSTGUI;

/** A draw context that records every call by name instead of drawing. */
class RecordingContext : public CDrawContext
{
public:
	explicit RecordingContext (bool givePaths = true) : CDrawContext (CRect (0, 0, 400, 300)), givePaths (givePaths) {}

	struct Call
	{
		std::string name;
		CRect rect;
		int32_t mode {-1};
		CColor color;
		CCoord lineWidth {0};
	};
	std::vector<Call> calls;
	std::vector<CGraphicsPath::Element> lastPath;

	void drawRect (const CRect& rect, const CDrawStyle style) override
	{
		calls.push_back ({"drawRect", rect, style, getFillColor (), getLineWidth ()});
	}
	void drawLine (const CPoint& a, const CPoint& b) override
	{
		calls.push_back ({"drawLine", CRect (a.x, a.y, b.x, b.y), -1, getFrameColor (), getLineWidth ()});
	}
	void drawEllipse (const CRect& rect, const CDrawStyle style) override
	{
		calls.push_back ({"drawEllipse", rect, style, getFillColor (), getLineWidth ()});
	}
	void drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) override
	{
		calls.push_back ({"drawBitmap", dest, static_cast<int32_t> (offset.y), {}, offset.x});
	}
	void drawString (UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign align, bool aa) override
	{
		calls.push_back ({std::string ("drawString:") + (string ? string : ""), rect, align, getFontColor ()});
	}
	CGraphicsPath* createGraphicsPath () override
	{
		calls.push_back ({"createGraphicsPath", {}, -1, {}, 0});
		return givePaths ? CDrawContext::createGraphicsPath () : nullptr;
	}
	void drawGraphicsPath (CGraphicsPath* path, PathDrawMode mode, CGraphicsTransform* t) override
	{
		lastPath = path->getElements ();
		calls.push_back ({"drawGraphicsPath", path->getBoundingBox (), mode,
		                  mode == kPathStroked ? getFrameColor () : getFillColor (), getLineWidth ()});
	}
	size_t count (const std::string& name) const
	{
		size_t n = 0;
		for (const auto& c : calls)
			n += c.name == name;
		return n;
	}

private:
	bool givePaths;
};

using PalvisTest::RecordingListener;
using PalvisTest::ScopedManualRunLoop;

} // GuiTest
