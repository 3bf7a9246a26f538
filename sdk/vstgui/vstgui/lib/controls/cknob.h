// Knobs. Dragging follows the frame's knob mode (CFrame::getKnobMode): circular,
// relative circular or linear. Option (kAlt) alone with the left button resets to the
// default; otherwise Option switches between linear and circular dragging, and the zoom
// modifier (Shift) makes linear drags finer.
#pragma once

#include "ccontrol.h"

namespace VSTGUI {

class CKnobBase : public CControl, protected CMouseWheelEditingSupport
{
public:
	/** Pixels of linear travel for the whole range. */
	static constexpr CCoord kLinearRange = 200.;

	/** Point for the current value, relative to the view's top-left corner. */
	virtual void valueToPoint (CPoint& point) const;
	/** Value for a point relative to the view's top-left corner. */
	virtual float valueFromPoint (CPoint& point) const;

	/** Radians, clockwise from three o'clock. Default 3/4 pi (down-left). */
	virtual void setStartAngle (float val);
	float getStartAngle () const { return startAngle; }
	/** Radians. Default 3/2 pi. */
	virtual void setRangeAngle (float val);
	float getRangeAngle () const { return rangeAngle; }
	/** Divisor of linear drags while Shift is held. Default 1.5. */
	virtual void setZoomFactor (float val) { zoomFactor = val; }
	float getZoomFactor () const { return zoomFactor; }
	virtual void setInsetValue (CCoord val) { inset = val; }
	CCoord getInsetValue () const { return inset; }

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;
	int32_t onKeyDown (VstKeyCode& keyCode) override;

	/** The drag mode chosen at the last press (CKnobMode). */
	int32_t getDragMode () const { return dragMode; }

protected:
	CKnobBase (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background);
	CKnobBase (const CKnobBase& knob);
	~CKnobBase () noexcept override = default;

	double angleOfPoint (const CPoint& local) const;

	float startAngle;
	float rangeAngle;
	float zoomFactor {1.5f};
	CCoord inset {3.};

private:
	CPoint firstPoint;
	CPoint lastPoint;
	float entryValue {0.f};
	float startValue {0.f};
	float coef {0.f};
	CCoord range {kLinearRange};
	double lastAngle {0.};
	CButtonState oldButton;
	int32_t dragMode {kCircularMode};
};

class CKnob : public CKnobBase
{
public:
	enum DrawStyle
	{
		kLegacyHandleLineDrawing = 0,
		kHandleCircleDrawing = 1 << 0,
		kCoronaDrawing = 1 << 1,
		kCoronaFromCenter = 1 << 2,
		kCoronaInverted = 1 << 3,
		kCoronaLineDashDot = 1 << 4,
		kCoronaOutline = 1 << 5,
		kCoronaLineCapButt = 1 << 6,
		kSkipHandleDrawing = 1 << 7
	};

	CKnob (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
	       const CPoint& offset = CPoint (0, 0), int32_t drawStyle = kLegacyHandleLineDrawing);
	CKnob (const CKnob& knob);

	void draw (CDrawContext* pContext) override;
	bool sizeToFit () override;

	virtual void setDrawStyle (int32_t style);
	int32_t getDrawStyle () const { return drawStyle; }
	virtual void setHandleBitmap (CBitmap* bitmap);
	CBitmap* getHandleBitmap () const { return pHandle; }
	virtual void setColorHandle (CColor color);
	CColor getColorHandle () const { return colorHandle; }
	virtual void setColorShadowHandle (CColor color);
	CColor getColorShadowHandle () const { return colorShadowHandle; }
	virtual void setCoronaColor (CColor color);
	CColor getCoronaColor () const { return coronaColor; }
	virtual void setCoronaInset (CCoord val);
	CCoord getCoronaInset () const { return coronaInset; }
	virtual void setHandleLineWidth (CCoord width);
	CCoord getHandleLineWidth () const { return handleLineWidth; }
	virtual void setCoronaOutlineWidthAdd (CCoord width);
	CCoord getCoronaOutlineWidthAdd () const { return coronaOutlineWidthAdd; }
	virtual void setCoronaDashDotLengths (const std::vector<CCoord>& lengths);
	const std::vector<CCoord>& getCoronaDashDotLengths () const { return coronaDashDotLengths; }
	const CPoint& getBackgroundOffset () const { return offset; }

	CLASS_METHODS (CKnob, CControl)

protected:
	~CKnob () noexcept override = default;
	void drawHandle (CDrawContext* pContext);
	void drawCorona (CDrawContext* pContext);

	CPoint offset;
	int32_t drawStyle;
	SharedPointer<CBitmap> pHandle;
	CColor colorHandle {kWhiteCColor};
	CColor colorShadowHandle {kGreyCColor};
	CColor coronaColor {kWhiteCColor};
	CCoord coronaInset {0.};
	CCoord handleLineWidth {1.};
	CCoord coronaOutlineWidthAdd {2.};
	std::vector<CCoord> coronaDashDotLengths;
};

} // VSTGUI
