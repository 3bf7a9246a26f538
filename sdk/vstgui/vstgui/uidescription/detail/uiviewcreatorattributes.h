// Attribute names and value texts of the UI description.
#pragma once

#include <string>

namespace VSTGUI {
namespace UIViewCreator {

// view classes
static const std::string kCView = "CView";
static const std::string kCViewContainer = "CViewContainer";
static const std::string kCControl = "CControl";
static const std::string kCParamDisplay = "CParamDisplay";
static const std::string kCTextLabel = "CTextLabel";
static const std::string kCOnOffButton = "COnOffButton";
static const std::string kCKnob = "CKnob";
static const std::string kCVerticalSwitch = "CVerticalSwitch";
static const std::string kCHorizontalSwitch = "CHorizontalSwitch";
static const std::string kCSlider = "CSlider";

// CView
static const std::string kAttrClass = "class";
static const std::string kAttrName = "name";
static const std::string kAttrTemplate = "template";
static const std::string kAttrOrigin = "origin";
static const std::string kAttrSize = "size";
static const std::string kAttrMinSize = "minSize";
static const std::string kAttrMaxSize = "maxSize";
static const std::string kAttrOpacity = "opacity";
static const std::string kAttrTransparent = "transparent";
static const std::string kAttrMouseEnabled = "mouse-enabled";
static const std::string kAttrWantsFocus = "wants-focus";
static const std::string kAttrBitmap = "bitmap";
static const std::string kAttrDisabledBitmap = "disabled-bitmap";
static const std::string kAttrAutosize = "autosize";
static const std::string kAttrTooltip = "tooltip";
static const std::string kAttrCustomViewName = "custom-view-name";
static const std::string kAttrSubController = "sub-controller";

// CViewContainer
static const std::string kAttrBackgroundColor = "background-color";
static const std::string kAttrBackgroundColorDrawStyle = "background-color-draw-style";

// CControl
static const std::string kAttrControlTag = "control-tag";
static const std::string kAttrDefaultValue = "default-value";
static const std::string kAttrMinValue = "min-value";
static const std::string kAttrMaxValue = "max-value";
static const std::string kAttrWheelIncValue = "wheel-inc-value";

// CParamDisplay
static const std::string kAttrFont = "font";
static const std::string kAttrFontColor = "font-color";
static const std::string kAttrBackColor = "back-color";
static const std::string kAttrFrameColor = "frame-color";
static const std::string kAttrShadowColor = "shadow-color";
static const std::string kAttrRoundRectRadius = "round-rect-radius";
static const std::string kAttrFrameWidth = "frame-width";
static const std::string kAttrTextAlignment = "text-alignment";
static const std::string kAttrTextInset = "text-inset";
static const std::string kAttrTextShadowOffset = "text-shadow-offset";
static const std::string kAttrValuePrecision = "value-precision";
static const std::string kAttrBackgroundOffset = "background-offset";
static const std::string kAttrFontAntialias = "font-antialias";
static const std::string kAttrStyle3DIn = "style-3D-in";
static const std::string kAttrStyle3DOut = "style-3D-out";
static const std::string kAttrStyleNoFrame = "style-no-frame";
static const std::string kAttrStyleNoText = "style-no-text";
static const std::string kAttrStyleNoDraw = "style-no-draw";
static const std::string kAttrStyleShadowText = "style-shadow-text";
static const std::string kAttrStyleRoundRect = "style-round-rect";
static const std::string kAttrTextRotation = "text-rotation";

// CTextLabel
static const std::string kAttrTitle = "title";
static const std::string kAttrTruncateMode = "truncate-mode";

// CKnob
static const std::string kAttrAngleStart = "angle-start";
static const std::string kAttrAngleRange = "angle-range";
static const std::string kAttrValueInset = "value-inset";
static const std::string kAttrZoomFactor = "zoom-factor";
static const std::string kAttrCircleDrawing = "circle-drawing";
static const std::string kAttrCoronaDrawing = "corona-drawing";
static const std::string kAttrCoronaOutline = "corona-outline";
static const std::string kAttrCoronaFromCenter = "corona-from-center";
static const std::string kAttrCoronaInverted = "corona-inverted";
static const std::string kAttrCoronaDashDot = "corona-dash-dot";
static const std::string kAttrCoronaLineCapButt = "corona-line-cap-butt";
static const std::string kAttrSkipHandleDrawing = "skip-handle-drawing";
static const std::string kAttrCoronaInset = "corona-inset";
static const std::string kAttrCoronaColor = "corona-color";
static const std::string kAttrHandleShadowColor = "handle-shadow-color";
static const std::string kAttrHandleColor = "handle-color";
static const std::string kAttrHandleLineWidth = "handle-line-width";
static const std::string kAttrCoronaOutlineWidthAdd = "corona-outline-width-add";
static const std::string kAttrCoronaDashDotLengths = "corona-dash-dot-lengths";
static const std::string kAttrHandleBitmap = "handle-bitmap";

// multi-bitmap controls (switches)
static const std::string kAttrHeightOfOneImage = "height-of-one-image";
static const std::string kAttrSubPixmaps = "sub-pixmaps";
static const std::string kAttrInverseBitmap = "inverse-bitmap";

// slider (the slider itself and its creator live outside the library)
static const std::string kAttrMode = "mode";
static const std::string kAttrFreeClick = "free-click";
static const std::string kAttrOrientation = "orientation";
static const std::string kAttrReverseOrientation = "reverse-orientation";
static const std::string kAttrHandleOffset = "handle-offset";
static const std::string kAttrBitmapOffset = "bitmap-offset";
static const std::string kAttrDrawFrame = "draw-frame";
static const std::string kAttrDrawBack = "draw-back";
static const std::string kAttrDrawValue = "draw-value";
static const std::string kAttrDrawValueFromCenter = "draw-value-from-center";
static const std::string kAttrDrawValueInverted = "draw-value-inverted";
static const std::string kAttrDrawFrameColor = "draw-frame-color";
static const std::string kAttrDrawBackColor = "draw-back-color";
static const std::string kAttrDrawValueColor = "draw-value-color";

// value texts
static const std::string strTrue = "true";
static const std::string strFalse = "false";
static const std::string strHorizontal = "horizontal";
static const std::string strVertical = "vertical";
static const std::string strLeft = "left";
static const std::string strRight = "right";
static const std::string strCenter = "center";
static const std::string strTop = "top";
static const std::string strBottom = "bottom";
static const std::string strRow = "row";
static const std::string strColumn = "column";
static const std::string strStroked = "stroked";
static const std::string strFilled = "filled";
static const std::string strFilledAndStroked = "filled and stroked";
static const std::string strHead = "head";
static const std::string strTail = "tail";
static const std::string strNone = "none";

} // UIViewCreator
} // VSTGUI
