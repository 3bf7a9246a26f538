// Forward declarations and small enumerations shared across the GUI library.
#pragma once

#include "vstguibase.h"
#include <cstdint>

namespace VSTGUI {

struct CPoint;
struct CRect;
struct CColor;
struct CButtonState;
struct VstKeyCode;
class CBitmap;
class CDrawContext;
class COffscreenContext;
class CFontDesc;
class CGraphicsPath;
class CGraphicsTransform;
class CView;
class CViewContainer;
class CFrame;
class CControl;
class CTextLabel;
class CParamDisplay;
class COnOffButton;
class CKnobBase;
class CKnob;
class CSwitchBase;
class CVerticalSwitch;
class CHorizontalSwitch;
class CVSTGUITimer;
class UTF8String;
class IControlListener;
class IViewListener;
class IViewContainerListener;
class IFocusDrawing;
class IPlatformFrame;
class VSTGUIEditorInterface;
class UIAttributes;
class IUIDescription;
class UIDescription;
class IController;
class IViewCreator;
class IViewFactory;
class UIViewFactory;

using CFontRef = CFontDesc*;

enum CMouseEventResult
{
	kMouseEventNotImplemented = 0,
	kMouseEventHandled = 1,
	kMouseEventNotHandled = 2,
	kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
	kMouseMoveEventHandledButDontNeedMoreEvents = 4
};

enum CMouseWheelAxis
{
	kMouseWheelAxisX = 0,
	kMouseWheelAxisY = 1
};

/** How knobs follow the mouse. */
enum CKnobMode
{
	kCircularMode = 0,
	kRelativCircularMode = 1,
	kLinearMode = 2
};

enum CHoriTxtAlign
{
	kLeftText = 0,
	kCenterText = 1,
	kRightText = 2
};

enum CDrawStyle
{
	kDrawStroked = 0,
	kDrawFilled = 1,
	kDrawFilledAndStroked = 2
};

enum CTxtFace
{
	kNormalFace = 0,
	kBoldFace = 1 << 1,
	kItalicFace = 1 << 2,
	kUnderlineFace = 1 << 3,
	kStrikethroughFace = 1 << 4
};

/** Kinds of native parents a frame can be opened in. */
enum class PlatformType : int32_t
{
	kHWND = 0,
	kWindowRef,
	kNSView,
	kUIView,
	kHWNDTopLevel,
	kX11EmbedWindowID,
	/** Rendered into an image only; no window. */
	kOffscreen,
	kDefaultNative = -1
};

} // VSTGUI
