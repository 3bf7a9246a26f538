// The about view's controller: ties the about area's on/off button to its text label.
// While the button is off the label is empty; while it is on the label shows the version,
// the plug-in format the host runs and the platform, e.g. "2.1.0, VST3 x86_64-Linux".
#pragma once

#include "aboutplatform.h"

#include "base/source/fstring.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include "vstgui/lib/iviewlistener.h"
#include "vstgui/uidescription/icontroller.h"

namespace Steinberg {
namespace Vst {

// T is the owning edit controller; it lists its about controllers
// (addAboutController / removeAboutController).
template <class T>
class PlugAboutController : public VSTGUI::IController, public VSTGUI::ViewListenerAdapter
{
public:
	PlugAboutController (T* owner, bool isAU) : owner (owner)
	{
		formatName.assign ("VST3");
		versionString.assign ("2.1.0");
		platformName.assign (AboutPlatform::currentPlatformName ().c_str ());
		if (isAU)
			formatName.assign ("AU");
	}

	~PlugAboutController () override
	{
		if (textLabel)
		{
			textLabel->unregisterViewListener (this);
			textLabel = nullptr;
		}
		if (onOffButton)
			viewWillDelete (onOffButton);
		if (owner)
			owner->removeAboutController (this);
	}

	void valueChanged (VSTGUI::CControl* pControl) override
	{
		if (!pControl || pControl != onOffButton)
			return;
		String line;
		if (onOffButton->getValue () != 0.f)
		{
			line = versionString;
			line += ", ";
			line += formatName;
			line += " ";
			line += platformName;
		}
		showText (line);
	}

	VSTGUI::CView* verifyView (VSTGUI::CView* view, const VSTGUI::UIAttributes& attributes,
	                           const VSTGUI::IUIDescription* description) override
	{
		if (!view)
			return view;
		if (auto label = dynamic_cast<VSTGUI::CTextLabel*> (view))
		{
			// A second label takes the place of the first, which is no longer watched.
			if (textLabel && textLabel != label)
				textLabel->unregisterViewListener (this);
			textLabel = label;
			textLabel->registerViewListener (this);
			showText (String ());
		}
		if (auto button = dynamic_cast<VSTGUI::COnOffButton*> (view))
		{
			if (onOffButton && onOffButton != button)
				onOffButton->unregisterControlListener (this);
			onOffButton = button;
			onOffButton->registerControlListener (this);
			valueChanged (onOffButton);
		}
		return view;
	}

	void viewWillDelete (VSTGUI::CView* view) override
	{
		if (view == textLabel)
		{
			textLabel->unregisterViewListener (this);
			textLabel = nullptr;
		}
		if (view == onOffButton)
		{
			onOffButton->unregisterControlListener (this);
			onOffButton = nullptr;
		}
	}

	T* getOwner () const { return owner; }
	VSTGUI::COnOffButton* getOnOffButton () const { return onOffButton; }
	VSTGUI::CTextLabel* getTextLabel () const { return textLabel; }
	const String& getFormatName () const { return formatName; }
	const String& getVersionString () const { return versionString; }
	const String& getPlatformName () const { return platformName; }

private:
	// The label shows text as UTF-8.
	void showText (const String& text)
	{
		String utf8 (text);
		utf8.toMultiByte (kCP_Utf8);
		if (textLabel)
			textLabel->setText (VSTGUI::UTF8String (utf8.text8 ()));
	}

	T* owner;
	VSTGUI::COnOffButton* onOffButton {nullptr};
	VSTGUI::CTextLabel* textLabel {nullptr};
	String formatName;
	String versionString;
	String platformName;
};

} // namespace Vst
} // namespace Steinberg
