// Helpers of the slider tests: recorders for listeners, draw contexts and the slider's own
// virtual calls, a hand-driven run loop, and the standard test sliders.
#pragma once

#include "gui/cslider.h"
#include "gui/sliderviewcreator.h"

#include "controlrecorders.h"

#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/vstguidebug.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace SliderTest {

using namespace VSTGUI;

using PalvisTest::RecordingListener;
using PalvisTest::ScopedManualRunLoop;

/** Collects the library's assertion reports while it lives. */
struct AssertionRecorder
{
	struct Report
	{
		std::string file;
		std::string line;
		std::string message;
		bool hasMessage;
	};
	std::vector<Report> reports;
	bool throwOnReport {false};

	AssertionRecorder ()
	{
		setAssertionHandler ([this] (const char* file, const char* line, const char* desc) {
			reports.push_back ({file ? file : "", line ? line : "", desc ? desc : "", desc != nullptr});
			if (throwOnReport)
				throw std::runtime_error ("report");
		});
	}
	~AssertionRecorder () { setAssertionHandler (nullptr); }
};

/** Restores the library-wide slider mode after a test that changes it. */
struct GlobalModeGuard
{
	CSliderMode saved {CSliderBase::getGlobalMode ()};
	~GlobalModeGuard () { CSliderBase::setGlobalMode (saved); }
};

/** A draw context that records the calls a slider makes instead of drawing. */
class RecordingContext : public CDrawContext
{
public:
	explicit RecordingContext (bool givePaths = true, double scale = 1.)
	: CDrawContext (CRect (0, 0, 400, 300)), givePaths (givePaths), scale (scale)
	{
	}

	struct Call
	{
		std::string name;
		CRect rect;
		int32_t mode {-1};
		CColor color;
		CCoord lineWidth {0.};
		CPoint offset;
		float alpha {0.f};
		CBitmap* bitmap {nullptr};
	};
	std::vector<Call> calls;

	double getScaleFactor () const override { return scale; }

	void setDrawMode (CDrawMode mode) override
	{
		add ("setDrawMode").mode = static_cast<int32_t> (mode ());
		CDrawContext::setDrawMode (mode);
	}
	void setLineStyle (const CLineStyle& style) override
	{
		add (style == kLineSolid ? "setLineStyle:solid" : "setLineStyle:other");
		CDrawContext::setLineStyle (style);
	}
	void setLineWidth (CCoord width) override
	{
		add ("setLineWidth").lineWidth = width;
		CDrawContext::setLineWidth (width);
	}
	void setFrameColor (const CColor& color) override
	{
		add ("setFrameColor").color = color;
		CDrawContext::setFrameColor (color);
	}
	void setFillColor (const CColor& color) override
	{
		add ("setFillColor").color = color;
		CDrawContext::setFillColor (color);
	}
	void drawRect (const CRect& rect, const CDrawStyle style) override
	{
		auto& c = add ("drawRect");
		c.rect = rect;
		c.mode = style;
		c.color = style == kDrawStroked ? getFrameColor () : getFillColor ();
		c.lineWidth = getLineWidth ();
	}
	void drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) override
	{
		auto& c = add ("drawBitmap");
		c.rect = dest;
		c.offset = offset;
		c.alpha = alpha;
		c.bitmap = bitmap;
	}
	CGraphicsPath* createGraphicsPath () override
	{
		add ("createGraphicsPath");
		return givePaths ? CDrawContext::createGraphicsPath () : nullptr;
	}
	void drawGraphicsPath (CGraphicsPath* path, PathDrawMode mode, CGraphicsTransform*) override
	{
		auto& c = add ("drawGraphicsPath");
		// The slider only ever adds one rectangle to a path.
		const auto& elements = path->getElements ();
		if (elements.size () == 1 && elements[0].type == CGraphicsPath::Element::kRect)
			c.rect = elements[0].rect;
		else
			c.rect = CRect (-1, -1, -1, -1);
		c.mode = mode;
		c.color = mode == kPathStroked ? getFrameColor () : getFillColor ();
		c.lineWidth = getLineWidth ();
	}

	std::vector<std::string> names () const
	{
		std::vector<std::string> n;
		for (const auto& c : calls)
			n.push_back (c.name);
		return n;
	}
	/** The calls that paint something. */
	std::vector<Call> paints () const
	{
		std::vector<Call> p;
		for (const auto& c : calls)
		{
			if (c.name == "drawRect" || c.name == "drawBitmap" || c.name == "drawGraphicsPath")
				p.push_back (c);
		}
		return p;
	}

private:
	Call& add (const std::string& name)
	{
		calls.emplace_back ();
		calls.back ().name = name;
		return calls.back ();
	}

	bool givePaths;
	double scale;
};

/** A slider that logs the virtual calls that matter for call orders and redraws. */
class ProbeSlider : public CSlider
{
public:
	using CSlider::CSlider;

	std::vector<std::string> log;
	int invalids {0};

	void beginEdit () override
	{
		log.push_back ("beginEdit");
		CSlider::beginEdit ();
	}
	void endEdit () override
	{
		log.push_back ("endEdit");
		CSlider::endEdit ();
	}
	void setValue (float val) override
	{
		log.push_back ("setValue");
		CSlider::setValue (val);
	}
	void valueChanged () override
	{
		log.push_back ("valueChanged");
		CSlider::valueChanged ();
	}
	void setDirty (bool val) override
	{
		log.push_back (val ? "setDirty(true)" : "setDirty(false)");
		CSlider::setDirty (val);
	}
	void invalid () override
	{
		++invalids;
		log.push_back ("invalid");
		CSlider::invalid ();
	}
};

constexpr int32_t kHorizontalLeft = CSlider::kHorizontal | CSlider::kLeft;

/** The horizontal test slider: view (10, 20, 110, 40), handle 20 x 20, handle offset
 *  (2, 0), given in that order and then the view rectangle by setViewSize. Its travel
 *  is 76 pixels long and starts at x = 12; handle offset and travel are exchanged
 *  between x and y for a vertical style. */
template <typename T = CSlider>
inline SharedPointer<T> makeTestSlider (int32_t style = kHorizontalLeft, IControlListener* listener = nullptr,
                                        float value = 0.5f)
{
	auto slider = owned (new T (CRect (0, 0, 0, 0), listener, 7, 0, 0, nullptr, nullptr, CPoint (0, 0), style));
	slider->setHandleSize (20, 20);
	const bool horizontal = (style & CSlider::kHorizontal) != 0;
	slider->setOffsetHandle (horizontal ? CPoint (2, 0) : CPoint (0, 2));
	slider->setViewSize (horizontal ? CRect (10, 20, 110, 40) : CRect (20, 10, 40, 110));
	slider->setValueNormalized (value);
	slider->setDirty (false);
	return slider;
}

/** (x, y) for a horizontal slider, (y, x) for a vertical one. */
inline CPoint along (bool horizontal, CCoord a, CCoord across) { return horizontal ? CPoint (a, across) : CPoint (across, a); }

inline CMouseEventResult press (CSliderBase* s, CPoint where, int32_t buttons)
{
	return s->onMouseDown (where, CButtonState (buttons));
}
inline CMouseEventResult move (CSliderBase* s, CPoint where, int32_t buttons)
{
	return s->onMouseMoved (where, CButtonState (buttons));
}
inline CMouseEventResult release (CSliderBase* s, CPoint where = CPoint (0, 0), int32_t buttons = kLButton)
{
	return s->onMouseUp (where, CButtonState (buttons));
}
inline int32_t key (CSliderBase* s, unsigned char virt, unsigned char modifier = 0, int32_t character = 0)
{
	VstKeyCode code;
	code.character = character;
	code.virt = virt;
	code.modifier = modifier;
	return s->onKeyDown (code);
}
inline bool wheel (CSliderBase* s, CMouseWheelAxis axis, float distance, int32_t buttons = 0)
{
	return s->onWheel (CPoint (0, 0), axis, distance, CButtonState (buttons));
}

/** The normalised value one pixel of the 76-pixel test travel stands for. */
constexpr float kOnePixel = 1.f / 76.f;

} // SliderTest
