// Pieces of the GUI tests: the notifications a control gives its listener, in order,
// and a hand-driven run loop installed for the lifetime of a test.
#pragma once

#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/lib/controls/icontrollistener.h"
#include "vstgui/lib/platform/irunloop.h"

#include <string>
#include <vector>

namespace PalvisTest {

/** Installs a manual run loop for the lifetime of a test. */
struct ScopedManualRunLoop
{
	VSTGUI::ManualRunLoop loop;
	ScopedManualRunLoop () { VSTGUI::setRunLoop (&loop); }
	~ScopedManualRunLoop () { VSTGUI::setRunLoop (nullptr); }
};

/** Records listener notifications in order, with the control's value at each change. */
struct RecordingListener : VSTGUI::IControlListener
{
	std::vector<std::string> events;
	std::vector<float> values;
	void valueChanged (VSTGUI::CControl* c) override
	{
		events.push_back ("value");
		values.push_back (c->getValue ());
	}
	void controlBeginEdit (VSTGUI::CControl*) override { events.push_back ("begin"); }
	void controlEndEdit (VSTGUI::CControl*) override { events.push_back ("end"); }
	void controlTagWillChange (VSTGUI::CControl*) override { events.push_back ("tagWill"); }
	void controlTagDidChange (VSTGUI::CControl*) override { events.push_back ("tagDid"); }
	size_t count (const std::string& name) const
	{
		size_t n = 0;
		for (const auto& e : events)
			n += e == name;
		return n;
	}
	void clear ()
	{
		events.clear ();
		values.clear ();
	}
};

} // namespace PalvisTest
