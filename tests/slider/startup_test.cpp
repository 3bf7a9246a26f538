// Linked like the plug-in module: the slider's archive is taken whole and nothing of it is
// called. What the module needs from it before any editor opens must already be in place.
#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/uidescription/uiviewfactory.h"
#include <gtest/gtest.h>

using namespace VSTGUI;

TEST (SliderStartUp, TheSliderCreatorIsRegisteredWhileTheModuleLoads)
{
	auto creator = UIViewFactory::getViewCreator ("CSlider");
	ASSERT_NE (creator, nullptr);
	EXPECT_STREQ (creator->getDisplayName (), "Slider");
	EXPECT_STREQ (creator->getBaseViewName (), "CControl");
	std::list<std::string> names;
	creator->getAttributeNames (names);
	EXPECT_EQ (names.front (), "mode");
}

TEST (SliderStartUp, ControlModifiersHoldBeforeAnyEditorOpens)
{
	EXPECT_EQ (CControl::kZoomModifier, kShift);
	EXPECT_EQ (CControl::kDefaultValueModifier, kAlt);
}
