// VSTGUIEditor: the plug-in view (IPlugView) that shows a GUI-library frame.
//
// It keeps the controller alive, answers the host's size and platform questions, forwards
// wheel, key and focus calls to the frame, and brings the host's run loop to the library:
// the Linux::IRunLoop of the IPlugFrame given to setFrame() (or else the one the host gave
// the factory with IPluginFactory3::setHostContext) is installed, through an adapter, as
// the library's run loop while the view is attached, so the library's timers and window
// events run on the host's main thread. Without such a loop attached() refuses a window
// (kResultFalse, with a message on stderr). Subclasses build and tear down the frame in
// open() and close().
//
// It lives beside the GUI library (and not in sdk_base) because it needs it.
#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/gui/iplugviewoffscreen.h"

#include "vstgui/lib/cframe.h"

#include <memory>

namespace VSTGUI {
class CVSTGUITimer;
class ManualRunLoop;
} // namespace VSTGUI

namespace Steinberg {
namespace Vst {

class VSTGUIEditor : public FObject,
                     public IPlugView,
                     public IPlugViewContentScaleSupport,
                     public IPlugViewOffscreen,
                     public VSTGUI::VSTGUIEditorInterface
{
public:
	/** Holds one reference to the controller until the editor is destroyed. */
	explicit VSTGUIEditor (EditController* controller, ViewRect* size = nullptr);
	~VSTGUIEditor () override;

	/** Builds the frame and opens it in parent (for PlatformType::kOffscreen, no parent). */
	virtual bool PLUGIN_API open (void* parent, const VSTGUI::PlatformType& type) = 0;
	/** Tears the frame down again. A subclass calls removed() in its destructor when the
	 *  host released the view while attached. */
	virtual void PLUGIN_API close () = 0;

	EditController* getController () const { return controller; }
	IPlugFrame* getPlugFrame () const { return plugFrame; }
	const ViewRect& getRect () const { return rect; }
	/** The size in view pixels (the host's units): logical size times the content scale. */
	void setRect (const ViewRect& newRect) { rect = newRect; }
	bool isAttached () const { return attachedToParent; }
	bool isOpenOffscreen () const { return attachedToParent && offscreen; }
	float getContentScaleFactor () const { return contentScaleFactor; }

	// IPlugView
	tresult PLUGIN_API isPlatformTypeSupported (FIDString type) SMTG_OVERRIDE;
	tresult PLUGIN_API attached (void* parent, FIDString type) SMTG_OVERRIDE;
	tresult PLUGIN_API removed () SMTG_OVERRIDE;
	tresult PLUGIN_API onWheel (float distance) SMTG_OVERRIDE;
	tresult PLUGIN_API onKeyDown (char16 key, int16 keyCode, int16 modifiers) SMTG_OVERRIDE;
	tresult PLUGIN_API onKeyUp (char16 key, int16 keyCode, int16 modifiers) SMTG_OVERRIDE;
	tresult PLUGIN_API getSize (ViewRect* size) SMTG_OVERRIDE;
	tresult PLUGIN_API onSize (ViewRect* newSize) SMTG_OVERRIDE;
	tresult PLUGIN_API onFocus (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API setFrame (IPlugFrame* frame) SMTG_OVERRIDE;
	tresult PLUGIN_API canResize () SMTG_OVERRIDE;
	tresult PLUGIN_API checkSizeConstraint (ViewRect* rect) SMTG_OVERRIDE;

	// IPlugViewContentScaleSupport
	tresult PLUGIN_API setContentScaleFactor (ScaleFactor factor) SMTG_OVERRIDE;

	// IPlugViewOffscreen
	tresult PLUGIN_API openOffscreen () SMTG_OVERRIDE;
	tresult PLUGIN_API renderRGBA (uint8* buffer, int32 width, int32 height, int32 stride) SMTG_OVERRIDE;
	tresult PLUGIN_API onMouseEvent (int32 type, double x, double y, int32 buttons) SMTG_OVERRIDE;
	tresult PLUGIN_API onWheelEvent (double x, double y, float distance, int32 axis, int32 buttons) SMTG_OVERRIDE;
	tresult PLUGIN_API advanceTime (uint32 milliseconds) SMTG_OVERRIDE;

	// VSTGUIEditorInterface
	/** The host's knob mode (EditController::getHostKnobMode), which the frame's knobs follow. */
	int32_t getKnobMode () const override;
	void doIdleStuff () override;
	void beginEdit (int32_t index) override;
	void endEdit (int32_t index) override;

	OBJ_METHODS (VSTGUIEditor, FObject)
	DEFINE_INTERFACES
	DEF_INTERFACE (IPlugView)
	DEF_INTERFACE (IPlugViewContentScaleSupport)
	DEF_INTERFACE (IPlugViewOffscreen)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

	/** Milliseconds between two idle calls (redraw of views marked dirty). */
	static constexpr uint32 kIdleRate = 30;

protected:
	/** Opens the frame in a parent of the given type with the right run loop installed;
	 *  undoes everything and returns false when open() fails. */
	bool attachTo (void* parent, VSTGUI::PlatformType type);
	/** The frame's point for a point in view pixels. */
	VSTGUI::CPoint toFramePoint (double x, double y) const;

	IPtr<EditController> controller;
	IPtr<IPlugFrame> plugFrame;
	ViewRect rect;
	float contentScaleFactor {1.f};

private:
	class RunLoopAdapter;
	void detachFromParent ();

	std::unique_ptr<RunLoopAdapter> hostRunLoop;
	std::unique_ptr<VSTGUI::ManualRunLoop> manualRunLoop;
	VSTGUI::CVSTGUITimer* idleTimer {nullptr};
	VSTGUI::CPoint lastMousePosition;
	bool attachedToParent {false};
	bool offscreen {false};
};

} // namespace Vst
} // namespace Steinberg
