// The frame: root of a view tree, and the link to the window (or image) that shows it.
#pragma once

#include "cviewcontainer.h"
#include "platform/iplatformframe.h"

namespace VSTGUI {

/** What the frame asks of the editor that owns it. */
class VSTGUIEditorInterface
{
public:
	virtual ~VSTGUIEditorInterface () noexcept = default;
	virtual void doIdleStuff () {}
	/** The knob mode (CKnobMode) the host asks for; -1 leaves it to the library-wide mode. */
	virtual int32_t getKnobMode () const { return -1; }
	/** A control with this tag starts or ends an edit. */
	virtual void beginEdit (int32_t index) {}
	virtual void endEdit (int32_t index) {}
	virtual CFrame* getFrame () const { return frame; }

protected:
	CFrame* frame {nullptr};
};

class CFrame final : public CViewContainer, public IPlatformFrameCallback
{
public:
	CFrame (const CRect& size, VSTGUIEditorInterface* editor);

	/** Opens the frame in a parent of the given type. PlatformType::kOffscreen needs no
	 *  parent and takes an OffscreenFrameConfig as config (else scale 1). False when
	 *  already open or when no platform frame could be made. */
	bool open (void* parent, PlatformType parentType = PlatformType::kDefaultNative,
	           IPlatformFrameConfig* config = nullptr);
	/** Removes every view, closes the platform frame and releases the creator's reference. */
	void close ();
	bool isOpen () const { return platformFrame != nullptr; }
	/** Redraws views that were marked dirty without being invalidated. */
	void idle ();

	IPlatformFrame* getPlatformFrame () const { return platformFrame; }
	VSTGUIEditorInterface* getEditor () const { return editor; }

	/** The editor's knob mode, or the library-wide one. */
	int32_t getKnobMode () const;
	/** The library-wide knob mode (CKnobMode), used where no editor gives one. Default kCircularMode. */
	static void setDefaultKnobMode (int32_t mode);
	static int32_t getDefaultKnobMode ();

	void beginEdit (int32_t index);
	void endEdit (int32_t index);

	bool setSize (CCoord width, CCoord height);
	void setViewSize (const CRect& rect, bool invalid = true) override;

	// focus
	void setFocusView (CView* pView);
	CView* getFocusView () const { return focusView; }
	/** Moves the focus to the next (or previous) view that wants it. */
	bool advanceNextFocusView (CView* oldFocus, bool reverse = false);
	/** The view under the pointer, as last seen by a move. */
	CView* getMouseOverView () const { return mouseOverView; }

	// input as the platform delivers it (frame coordinates)
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	CMouseEventResult onMouseExited (CPoint& where, const CButtonState& buttons) override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;
	int32_t onKeyDown (VstKeyCode& keyCode) override;
	int32_t onKeyUp (VstKeyCode& keyCode) override;

	void invalid () override;
	void invalidRect (const CRect& rect) override;
	bool removed (CView* parent) override;

	/** Called by views leaving the tree, so the frame drops its pointers to them. */
	void onViewRemoved (CView* pView);

	// IPlatformFrameCallback
	bool platformDrawRect (CDrawContext* context, const CRect& rect) override;
	CMouseEventResult platformOnMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult platformOnMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult platformOnMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult platformOnMouseExited (CPoint& where, const CButtonState& buttons) override;
	bool platformOnMouseWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	                           const CButtonState& buttons) override;
	bool platformOnKeyDown (VstKeyCode& keyCode) override;
	bool platformOnKeyUp (VstKeyCode& keyCode) override;
	void platformOnActivate (bool state) override;
	void platformScaleFactorChanged (double newScaleFactor) override {}

	CLASS_METHODS_NOCOPY (CFrame, CViewContainer)

private:
	~CFrame () noexcept override;
	void beforeDelete () override;
	void setMouseOverView (CView* view, const CButtonState& buttons);
	void collectFocusViews (CView* view, std::vector<CView*>& list);

	VSTGUIEditorInterface* editor;
	SharedPointer<IPlatformFrame> platformFrame;
	CView* focusView {nullptr};
	CView* mouseOverView {nullptr};
	bool active {true};
};

} // VSTGUI
