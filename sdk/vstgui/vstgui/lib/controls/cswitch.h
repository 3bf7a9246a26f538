// Switches with several positions, shown by a bitmap of stacked sub-images
// (or drawn as segments when there is no bitmap).
#pragma once

#include "ccontrol.h"

namespace VSTGUI {

class IMultiBitmapControl
{
public:
	virtual ~IMultiBitmapControl () noexcept = default;
	virtual void setHeightOfOneImage (const CCoord& height) { heightOfOneImage = height; }
	virtual CCoord getHeightOfOneImage () const { return heightOfOneImage; }
	virtual void setNumSubPixmaps (int32_t numSubPixmaps) { subPixmaps = numSubPixmaps; }
	virtual int32_t getNumSubPixmaps () const { return subPixmaps; }
	/** Takes the image height from the view and the count from the bitmap. */
	void autoComputeHeightOfOneImage ();

protected:
	CCoord heightOfOneImage {0.};
	int32_t subPixmaps {0};
};

class CSwitchBase : public CControl, public IMultiBitmapControl
{
public:
	void setInverseBitmap (bool state);
	bool getInverseBitmap () const { return inverseBitmap; }
	/** Number of positions (at least 2). */
	int32_t getNumPositions () const;
	void setNumSubPixmaps (int32_t numSubPixmaps) override;

	void draw (CDrawContext* pContext) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	int32_t onKeyDown (VstKeyCode& keyCode) override;
	bool sizeToFit () override;

protected:
	CSwitchBase (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
	             const CPoint& offset = CPoint (0, 0));
	CSwitchBase (const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
	             CCoord heightOfOneImage, int32_t iMaxPositions, CBitmap* background,
	             const CPoint& offset = CPoint (0, 0));
	CSwitchBase (const CSwitchBase& other);
	~CSwitchBase () noexcept override = default;

	/** Size of one position along the switch's axis, in pixels. */
	virtual double calculateCoef () const = 0;
	/** Normalised value for a point relative to the view's top-left corner. */
	virtual float normalizedValueFromPoint (CPoint& point) const = 0;
	virtual bool isVertical () const = 0;

	CPoint offset;
	double coef {0.};
	float mouseStartValue {0.f};
	bool inverseBitmap {false};
};

class CVerticalSwitch : public CSwitchBase
{
public:
	CVerticalSwitch (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	                 CBitmap* background = nullptr, const CPoint& offset = CPoint (0, 0));
	CVerticalSwitch (const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
	                 CCoord heightOfOneImage, int32_t iMaxPositions, CBitmap* background,
	                 const CPoint& offset = CPoint (0, 0));
	CVerticalSwitch (const CVerticalSwitch& other) = default;

	CLASS_METHODS (CVerticalSwitch, CControl)

protected:
	~CVerticalSwitch () noexcept override = default;
	double calculateCoef () const override;
	float normalizedValueFromPoint (CPoint& point) const override;
	bool isVertical () const override { return true; }
};

class CHorizontalSwitch : public CSwitchBase
{
public:
	CHorizontalSwitch (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	                   CBitmap* background = nullptr, const CPoint& offset = CPoint (0, 0));
	CHorizontalSwitch (const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
	                   CCoord heightOfOneImage, int32_t iMaxPositions, CBitmap* background,
	                   const CPoint& offset = CPoint (0, 0));
	CHorizontalSwitch (const CHorizontalSwitch& other) = default;

	CLASS_METHODS (CHorizontalSwitch, CControl)

protected:
	~CHorizontalSwitch () noexcept override = default;
	double calculateCoef () const override;
	float normalizedValueFromPoint (CPoint& point) const override;
	bool isVertical () const override { return false; }
};

} // VSTGUI
