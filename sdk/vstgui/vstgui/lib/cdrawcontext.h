// The draw context. Every drawing call is virtual: the library's own contexts draw
// through Cairo, and a subclass may record the calls instead (then nothing is drawn
// unless it calls the base). A context made with the plain constructor has no
// backend: it keeps the drawing state and draws nothing.
#pragma once

#include "cdrawdefs.h"
#include "crect.h"
#include "ccolor.h"
#include "cgraphicstransform.h"
#include "cgraphicspath.h"
#include <memory>
#include <utility>
#include <vector>

namespace VSTGUI {

class CDrawContext : public CBaseObject
{
public:
	enum PathDrawMode
	{
		kPathFilled = 0,
		kPathFilledEvenOdd = 1,
		kPathStroked = 2
	};

	using LinePair = std::pair<CPoint, CPoint>;
	using LineList = std::vector<LinePair>;
	using PointList = std::vector<CPoint>;

	/** A context without a drawing backend, for a surface of the given size. */
	explicit CDrawContext (const CRect& surfaceRect);
	~CDrawContext () noexcept override;

	// lines and shapes
	virtual void drawLine (const CPoint& start, const CPoint& end);
	void drawLine (const LinePair& line) { drawLine (line.first, line.second); }
	virtual void drawLines (const LineList& lines);
	virtual void drawPolygon (const PointList& polygonPointList, const CDrawStyle drawStyle = kDrawStroked);
	virtual void drawRect (const CRect& rect, const CDrawStyle drawStyle = kDrawStroked);
	/** Angles in degrees, 0 at three o'clock, growing clockwise. */
	virtual void drawArc (const CRect& rect, const float startAngle1, const float endAngle2,
	                      const CDrawStyle drawStyle = kDrawStroked);
	virtual void drawEllipse (const CRect& rect, const CDrawStyle drawStyle = kDrawStroked);
	virtual void drawPoint (const CPoint& point, const CColor& color);
	virtual void drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint (0, 0),
	                         float alpha = 1.f);
	virtual void clearRect (const CRect& rect);

	// text
	/** Draws one line vertically centred in rect. */
	virtual void drawString (UTF8StringPtr string, const CRect& rect, const CHoriTxtAlign hAlign = kCenterText,
	                         bool antialias = true);
	/** Draws one line with its baseline starting at point. */
	virtual void drawString (UTF8StringPtr string, const CPoint& point, bool antialias = true);
	virtual CCoord getStringWidth (UTF8StringPtr string);

	// paths
	/** A new, empty path; the caller releases it with forget(). May be null. */
	virtual CGraphicsPath* createGraphicsPath ();
	virtual void drawGraphicsPath (CGraphicsPath* path, PathDrawMode mode = kPathFilled,
	                               CGraphicsTransform* transformation = nullptr);

	// state
	virtual void setLineStyle (const CLineStyle& style);
	const CLineStyle& getLineStyle () const { return currentState.lineStyle; }
	virtual void setLineWidth (CCoord width);
	CCoord getLineWidth () const { return currentState.frameWidth; }
	virtual void setDrawMode (CDrawMode mode);
	CDrawMode getDrawMode () const { return currentState.drawMode; }
	/** The clip rectangle, given in the current (transformed) coordinates. */
	virtual void setClipRect (const CRect& clip);
	CRect& getClipRect (CRect& clip) const;
	void resetClipRect ();
	virtual void setFillColor (const CColor& color);
	CColor getFillColor () const { return currentState.fillColor; }
	virtual void setFrameColor (const CColor& color);
	CColor getFrameColor () const { return currentState.frameColor; }
	virtual void setFontColor (const CColor& color);
	CColor getFontColor () const { return currentState.fontColor; }
	/** size 0 keeps the font's size, style -1 its style. */
	virtual void setFont (const CFontDesc* font, const CCoord& size = 0, const int32_t& style = -1);
	const CFontDesc* getFont () const;
	virtual void setGlobalAlpha (float newAlpha);
	float getGlobalAlpha () const { return currentState.globalAlpha; }
	virtual void saveGlobalState ();
	virtual void restoreGlobalState ();

	// transforms
	void pushTransform (const CGraphicsTransform& transformation);
	void popTransform ();
	const CGraphicsTransform& getCurrentTransform () const;

	/** Applies a transform for its lifetime. */
	struct Transform
	{
		Transform (CDrawContext& context, const CGraphicsTransform& transformation);
		~Transform () noexcept;

	private:
		CDrawContext& context;
		bool active;
	};

	const CRect& getSurfaceRect () const { return surfaceRect; }
	virtual double getScaleFactor () const { return scaleFactor; }
	CCoord getHairlineSize () const { return 1. / getScaleFactor (); }

	virtual void beginDraw () {}
	virtual void endDraw () {}

protected:
	/** Gives the context a Cairo target (a cairo_t*), which it references. */
	void setBackend (void* cairoContext, double scale);
	void* getBackend () const;

private:
	struct State
	{
		SharedPointer<CFontDesc> font;
		CColor frameColor {kWhiteCColor};
		CColor fillColor {kBlackCColor};
		CColor fontColor {kWhiteCColor};
		CCoord frameWidth {1.};
		CLineStyle lineStyle {kLineSolid};
		CDrawMode drawMode {kAliasing};
		CRect clipRect;
		float globalAlpha {1.f};
	};
	struct Backend;
	friend struct Backend;

	State currentState;
	std::vector<State> stateStack;
	std::vector<CGraphicsTransform> transformStack;
	CRect surfaceRect;
	double scaleFactor {1.};
	std::unique_ptr<Backend> backend;
};

/** A Cairo image surface to draw into, readable pixel by pixel and writable as PNG. */
class COffscreenContext : public CDrawContext
{
public:
	/** size in logical pixels; the surface has size * scaleFactor pixels. Null for sizes
	 *  below one pixel or above 16384. */
	static SharedPointer<COffscreenContext> create (const CPoint& size, double scaleFactor = 1.);
	~COffscreenContext () noexcept override;

	int32_t getPixelWidth () const { return pixelWidth; }
	int32_t getPixelHeight () const { return pixelHeight; }
	/** Pixel (device coordinates), un-premultiplied; transparent black outside. */
	CColor getPixel (int32_t x, int32_t y) const;
	/** Fills the whole surface, ignoring clip and transform. */
	void fill (const CColor& color);
	bool writePNG (UTF8StringPtr path) const;

private:
	COffscreenContext (const CPoint& size, double scaleFactor, void* surface);
	void* surface;
	int32_t pixelWidth;
	int32_t pixelHeight;
};

} // VSTGUI
