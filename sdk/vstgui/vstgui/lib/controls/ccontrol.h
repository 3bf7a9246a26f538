// The base of every control: a value in [min, max] with a default, a tag, listeners
// and nesting edits.
#pragma once

#include "../cview.h"
#include "../ifocusdrawing.h"
#include "icontrollistener.h"
#include <vector>

namespace VSTGUI {

class CControl : public CView, public IFocusDrawing
{
public:
	CControl (const CRect& size, IControlListener* listener = nullptr, int32_t tag = 0,
	          CBitmap* background = nullptr);
	/** Copies value, range, tag and listener; edits and extra listeners are not copied. */
	CControl (const CControl& c);

	// value
	virtual void setValue (float val);
	virtual float getValue () const { return value; }
	virtual void setValueNormalized (float val);
	virtual float getValueNormalized () const;
	virtual void setMin (float val) { vmin = val; }
	virtual float getMin () const { return vmin; }
	virtual void setMax (float val) { vmax = val; }
	virtual float getMax () const { return vmax; }
	float getRange () const { return getMax () - getMin (); }
	virtual void setOldValue (float val) { oldValue = val; }
	virtual float getOldValue () const { return oldValue; }
	virtual void setDefaultValue (float val) { defaultValue = val; }
	virtual float getDefaultValue () const { return defaultValue; }
	/** Keeps the value within [min, max]. */
	virtual void bounceValue ();
	/** The reset click: see kDefaultValueModifier. True when the press is consumed. */
	virtual bool checkDefaultValue (CButtonState button);
	virtual void setWheelInc (float val) { wheelInc = val; }
	virtual float getWheelInc () const { return wheelInc; }

	// edits: only the outermost beginEdit/endEdit pair reaches the listeners
	virtual void beginEdit ();
	virtual void endEdit ();
	bool isEditing () const { return editing > 0; }
	/** Tells the listener and the extra listeners about the current value. */
	virtual void valueChanged ();

	// tag and listeners
	virtual void setTag (int32_t val);
	virtual int32_t getTag () const { return tag; }
	virtual void setListener (IControlListener* l) { listener = l; }
	IControlListener* getListener () const { return listener; }
	void registerControlListener (IControlListener* l);
	void unregisterControlListener (IControlListener* l);

	bool isDirty () const override;
	void setDirty (bool val = true) override;

	void draw (CDrawContext* pContext) override = 0;

	// IFocusDrawing
	bool drawFocusOnTop () override { return true; }
	bool getFocusPath (CGraphicsPath& outPath) override;

	/** Modifier mask for fine steps (Shift). */
	static int32_t kZoomModifier;
	/** Modifier that, alone with the left button, resets a control to its default (Option/Alt). */
	static int32_t kDefaultValueModifier;

	using CheckDefaultValueFuncT = bool (*) (CControl* c, CButtonState button);
	/** The reset test; by default defaultValueTest(). */
	static CheckDefaultValueFuncT CheckDefaultValueFunc;
	/** True when of the five mouse buttons only the left one is down and of the four
	 *  modifier keys exactly kDefaultValueModifier is held. */
	static bool defaultValueTest (CControl* c, CButtonState button);

protected:
	~CControl () noexcept override;
	void beforeDelete () override;

	IControlListener* listener;
	int32_t tag;
	float oldValue {1.f};
	float defaultValue {0.5f};
	float value {0.f};
	float vmin {0.f};
	float vmax {1.f};
	float wheelInc {0.1f};

private:
	void forEachListener (void (IControlListener::*func) (CControl*));

	std::vector<IControlListener*> subListeners;
	int32_t editing {0};
};

/** Wheel edits: a run of wheel events is one edit that ends 500 ms after the last. */
class CMouseWheelEditingSupport
{
public:
	virtual ~CMouseWheelEditingSupport () noexcept = default;

protected:
	/** Opens the wheel edit if needed and (re)starts its 500 ms end timer. */
	void onMouseWheelEditing (CControl* control);
	/** Drops the end timer, then ends one edit of the control if it is editing. */
	void invalidMouseWheelEditTimer (CControl* control);

	SharedPointer<CBaseObject> endEditTimer;
};

} // VSTGUI
