#include "controller/plugcontroller.h"

#include "lyingstream.h"
#include "processor/plugids.h"
#include "teststream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using ControllerTest::MemoryStream;
using ControllerTest::StateBuilder;

namespace {

const char16* const kTitles[17] = {u"Bypass", u"Level",  u"25Hz",   u"40Hz",  u"63Hz",   u"100Hz",
                                   u"160Hz",  u"250Hz",  u"400Hz",  u"630Hz", u"1kHz",   u"1.6kHz",
                                   u"2.5kHz", u"4kHz",   u"6.3kHz", u"10kHz", u"16kHz"};

// Owns one controller for a test; released at the end.
struct Controller
{
	Controller () : ptr (owned (static_cast<PlugController*> (
	                    static_cast<IEditController*> (PlugController::createInstance (nullptr)))))
	{
	}
	PlugController* operator-> () const { return ptr.get (); }
	IPtr<PlugController> ptr;
};

std::u16string display (PlugController* c, ParamID id, ParamValue v)
{
	String128 out;
	out[0] = u'?';
	out[1] = 0;
	EXPECT_EQ (c->getParamStringByValue (id, v, out), kResultTrue);
	return out;
}

std::vector<ParamValue> allValues (PlugController* c)
{
	std::vector<ParamValue> values;
	for (ParamID id = 0; id < 17; ++id)
		values.push_back (c->getParamNormalized (id));
	return values;
}

// A host's component handler that records what it is told.
class RecordingHandler : public IComponentHandler, public IComponentHandler2
{
public:
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid) ||
		    FUnknownPrivate::iidEqual (iid, IComponentHandler::iid))
		{
			addRef ();
			*obj = static_cast<IComponentHandler*> (this);
			return kResultOk;
		}
		if (offersHandler2 && FUnknownPrivate::iidEqual (iid, IComponentHandler2::iid))
		{
			addRef ();
			*obj = static_cast<IComponentHandler2*> (this);
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return static_cast<uint32> (++refs); }
	uint32 PLUGIN_API release () override { return static_cast<uint32> (--refs); }

	tresult PLUGIN_API beginEdit (ParamID id) override { return log ("begin", id); }
	tresult PLUGIN_API performEdit (ParamID id, ParamValue v) override
	{
		lastValue = v;
		return log ("perform", id);
	}
	tresult PLUGIN_API endEdit (ParamID id) override { return log ("end", id); }
	tresult PLUGIN_API restartComponent (int32) override { return log ("restart", 0); }
	tresult PLUGIN_API setDirty (TBool state) override { return log ("dirty", state); }
	tresult PLUGIN_API requestOpenEditor (FIDString) override { return log ("open", 0); }
	tresult PLUGIN_API startGroupEdit () override { return log ("startGroup", 0); }
	tresult PLUGIN_API finishGroupEdit () override { return log ("finishGroup", 0); }

	tresult log (const char* what, uint32 id)
	{
		calls.push_back (std::string (what) + ":" + std::to_string (id));
		return kResultOk;
	}

	bool offersHandler2 {true};
	int refs {0};
	ParamValue lastValue {-1};
	std::vector<std::string> calls;
};

} // namespace

TEST (PlugController, NewControllerIsEmpty)
{
	Controller c;
	EXPECT_EQ (c->getParameterCount (), 0);
	EXPECT_EQ (c->getHostContext (), nullptr);
	EXPECT_TRUE (c->aboutControllers.empty ());
	EXPECT_EQ (c.ptr->getRefCount (), 1); // the creation reference, taken over
}

TEST (PlugController, SeventeenParametersAsTheHostSeesThem)
{
	Controller c;
	ASSERT_EQ (c->initialize (nullptr), kResultOk);
	ASSERT_EQ (c->getParameterCount (), 17);
	for (int32 index = 0; index < 17; ++index)
	{
		SCOPED_TRACE (index);
		ParameterInfo info {};
		ASSERT_EQ (c->getParameterInfo (index, info), kResultTrue);
		EXPECT_EQ (info.id, static_cast<ParamID> (index));
		EXPECT_EQ (std::u16string (info.title), kTitles[index]);
		EXPECT_EQ (info.shortTitle[0], 0);
		EXPECT_EQ (info.unitId, kRootUnitId);
		if (index == 0)
		{
			EXPECT_EQ (info.units[0], 0);
			EXPECT_EQ (info.flags, 0x10001);
			EXPECT_EQ (info.stepCount, 1);
			EXPECT_EQ (info.defaultNormalizedValue, 0.0);
		}
		else
		{
			EXPECT_EQ (std::u16string (info.units), u"dB");
			EXPECT_EQ (info.flags, 1);
			EXPECT_EQ (info.stepCount, 0);
			EXPECT_EQ (info.defaultNormalizedValue, index == 1 ? 0.75 : 0.5);
			EXPECT_EQ (c->getParameterObject (index)->getPrecision (), 2);
		}
		EXPECT_EQ (c->getParamNormalized (index), info.defaultNormalizedValue);
	}
	ParameterInfo info {};
	EXPECT_EQ (c->getParameterInfo (17, info), kResultFalse);
	EXPECT_EQ (c->getParameterInfo (-1, info), kResultFalse);
}

TEST (PlugController, DisplayStrings)
{
	Controller c;
	c->initialize (nullptr);
	EXPECT_EQ (display (c.ptr, kBypassId, 0.0), u"Off");
	EXPECT_EQ (display (c.ptr, kBypassId, 0.5), u"Off");
	EXPECT_EQ (display (c.ptr, kBypassId, 1.0), u"On");
	EXPECT_EQ (display (c.ptr, kLevelId, 0.75), u"0.00");
	EXPECT_EQ (display (c.ptr, kLevelId, 0.0), u"-36.00");
	EXPECT_EQ (display (c.ptr, kLevelId, 1.0), u"12.00");
	for (ParamID id = kBand0Id; id <= kLastParamId; ++id)
	{
		EXPECT_EQ (display (c.ptr, id, 0.5), u"0.00");
		EXPECT_EQ (display (c.ptr, id, 0.5 - 1e-6), u"0.00");
	}
	EXPECT_EQ (display (c.ptr, kBand0Id + 14, 0.5 + 3.5 / 24), u"3.50");
	EXPECT_EQ (c->normalizedParamToPlain (kLevelId, 0.75), 0.);
	EXPECT_EQ (c->normalizedParamToPlain (kBand0Id, 1.0), 12.);
	EXPECT_EQ (c->plainParamToNormalized (kBand0Id, -12.), 0.);
	EXPECT_EQ (c->plainParamToNormalized (kLevelId, -12.), 0.5);
}

TEST (PlugController, TypedValuesRoundTrip)
{
	Controller c;
	c->initialize (nullptr);
	for (ParamID id = kLevelId; id <= kLastParamId; ++id)
	{
		for (ParamValue v : {0.0, 0.25, 0.5, 0.75, 1.0})
		{
			String128 shown;
			ASSERT_EQ (c->getParamStringByValue (id, v, shown), kResultTrue);
			ParamValue back = -1;
			ASSERT_EQ (c->getParamValueByString (id, shown, back), kResultTrue);
			EXPECT_NEAR (back, v, 1e-12) << "id " << id;
		}
	}
	ParamValue v = -1;
	String128 typed = u"-6";
	EXPECT_EQ (c->getParamValueByString (kLevelId, typed, v), kResultTrue);
	EXPECT_EQ (v, 0.625);
	String128 tooLoud = u"40";
	EXPECT_EQ (c->getParamValueByString (kLevelId, tooLoud, v), kResultTrue);
	EXPECT_EQ (v, 1.0);
	String128 one = u"1";
	EXPECT_EQ (c->getParamValueByString (kBypassId, one, v), kResultTrue);
	EXPECT_EQ (v, 1.0);
	String128 words = u"loud";
	v = 0.3;
	EXPECT_EQ (c->getParamValueByString (kBand0Id, words, v), kResultFalse);
	EXPECT_EQ (v, 0.3);
	EXPECT_EQ (c->getParamValueByString (kBand0Id, nullptr, v), kResultFalse);
}

TEST (PlugController, UnknownIds)
{
	Controller c;
	c->initialize (nullptr);
	String128 out = u"keep";
	EXPECT_EQ (c->getParamStringByValue (17, 0.5, out), kResultFalse);
	EXPECT_EQ (std::u16string (out), u"keep");
	ParamValue v = 0.4;
	EXPECT_EQ (c->getParamValueByString (kNoParamId, out, v), kResultFalse);
	EXPECT_EQ (v, 0.4);
	EXPECT_EQ (c->normalizedParamToPlain (99, 0.3), 0.3);
	EXPECT_EQ (c->plainParamToNormalized (99, 7.5), 7.5);
	EXPECT_EQ (c->getParamNormalized (99), 0.);
	EXPECT_EQ (c->setParamNormalized (99, 0.5), kResultFalse);
	EXPECT_EQ (c->getParameterObject (99), nullptr);
	EXPECT_EQ (c->getParamStringByValue (kLevelId, 0.5, nullptr), kResultFalse);
}

TEST (PlugController, SetParamNormalizedLimits)
{
	Controller c;
	c->initialize (nullptr);
	EXPECT_EQ (c->setParamNormalized (kBand0Id, 1.5), kResultTrue);
	EXPECT_EQ (c->getParamNormalized (kBand0Id), 1.0);
	EXPECT_EQ (c->setParamNormalized (kBand0Id, -0.25), kResultTrue);
	EXPECT_EQ (c->getParamNormalized (kBand0Id), 0.0);
	EXPECT_EQ (c->setParamNormalized (kLevelId, std::nan ("")), kResultTrue);
	EXPECT_EQ (c->getParamNormalized (kLevelId), 0.0);
}

TEST (PlugController, InitializeTwiceKeepsSeventeen)
{
	Controller c;
	EXPECT_EQ (c->initialize (nullptr), kResultOk);
	c->setParamNormalized (kLevelId, 0.1);
	EXPECT_EQ (c->initialize (nullptr), kResultOk);
	EXPECT_EQ (c->getParameterCount (), 17);
	EXPECT_EQ (c->getParamNormalized (kLevelId), 0.1);

	// With a host context the base refuses the second call; still kResultOk.
	Controller d;
	MemoryStream context; // any FUnknown will do as a context
	EXPECT_EQ (d->initialize (&context), kResultOk);
	EXPECT_EQ (d->getHostContext (), static_cast<FUnknown*> (&context));
	EXPECT_EQ (d->initialize (&context), kResultOk);
	EXPECT_EQ (d->getParameterCount (), 17);
	EXPECT_EQ (d->terminate (), kResultOk);
}

TEST (PlugController, TerminateRemovesParametersAndInitializeRebuildsThem)
{
	Controller c;
	MemoryStream context;
	c->initialize (&context);
	c->setParamNormalized (kBand0Id + 3, 0.9);
	RecordingHandler handler;
	c->setComponentHandler (&handler);
	EXPECT_GT (handler.refs, 0);

	EXPECT_EQ (c->terminate (), kResultOk);
	EXPECT_EQ (c->getParameterCount (), 0);
	EXPECT_EQ (c->getHostContext (), nullptr);
	EXPECT_EQ (handler.refs, 0);
	EXPECT_EQ (c->performEdit (kLevelId, 0.5), kResultFalse);

	EXPECT_EQ (c->initialize (&context), kResultOk);
	EXPECT_EQ (c->getParameterCount (), 17);
	EXPECT_EQ (c->getParamNormalized (kBand0Id + 3), 0.5);
	c->terminate ();
}

TEST (PlugController, ComponentStateSetsTheParameters)
{
	Controller c;
	c->initialize (nullptr);
	StateBuilder state;
	state.bypassWord (2).level (0.25);
	for (int band = 0; band < 15; ++band)
		state.band (band, band / 14.0);
	MemoryStream stream = state.stream ();
	EXPECT_EQ (c->setComponentState (&stream), kResultOk);
	EXPECT_EQ (c->getParamNormalized (kBypassId), 1.0);
	EXPECT_EQ (c->getParamNormalized (kLevelId), 0.25);
	for (int band = 0; band < 15; ++band)
		EXPECT_EQ (c->getParamNormalized (kBand0Id + band), band / 14.0);

	MemoryStream off = StateBuilder ().bypassWord (-1).stream ();
	EXPECT_EQ (c->setComponentState (&off), kResultOk);
	EXPECT_EQ (c->getParamNormalized (kBypassId), 0.0);
	EXPECT_EQ (c->getParamNormalized (kLevelId), 0.75);
	EXPECT_EQ (c->getParamNormalized (kBand0Id + 14), 0.5);
}

TEST (PlugController, ComponentStateValuesAreLimited)
{
	Controller c;
	c->initialize (nullptr);
	MemoryStream stream = StateBuilder ()
	                          .band (0, 1.5)
	                          .band (1, -0.25)
	                          .band (2, std::nan (""))
	                          .band (3, std::numeric_limits<double>::infinity ())
	                          .level (-std::numeric_limits<double>::infinity ())
	                          .stream ();
	EXPECT_EQ (c->setComponentState (&stream), kResultOk);
	EXPECT_EQ (c->getParamNormalized (kBand0Id), 1.0);
	EXPECT_EQ (c->getParamNormalized (kBand0Id + 1), 0.0);
	EXPECT_EQ (c->getParamNormalized (kBand0Id + 2), 0.0);
	EXPECT_EQ (c->getParamNormalized (kBand0Id + 3), 1.0);
	EXPECT_EQ (c->getParamNormalized (kLevelId), 0.0);
}

TEST (PlugController, ShortOrMissingStateChangesNothing)
{
	Controller c;
	c->initialize (nullptr);
	c->setParamNormalized (kBypassId, 1.0);
	c->setParamNormalized (kLevelId, 0.3);
	c->setParamNormalized (kBand0Id + 7, 0.8);
	const auto before = allValues (c.ptr);

	// Streams that report success for a short read: only the count tells.
	MemoryStream shortStream = StateBuilder ().bypassWord (0).level (0.9).band (7, 0.1).truncate (203).stream ();
	shortStream.setShortReadsSucceed (true);
	EXPECT_EQ (c->setComponentState (&shortStream), kResultFalse);
	EXPECT_EQ (allValues (c.ptr), before);

	MemoryStream empty;
	empty.setShortReadsSucceed (true);
	EXPECT_EQ (c->setComponentState (&empty), kResultFalse);
	EXPECT_EQ (c->setComponentState (nullptr), kResultFalse);
	EXPECT_EQ (allValues (c.ptr), before);

	// 204 bytes is enough; bytes after it are not looked at.
	StateBuilder longer;
	longer.level (0.5).bytes.resize (300, 0xFF);
	MemoryStream longStream = longer.stream ();
	EXPECT_EQ (c->setComponentState (&longStream), kResultOk);
	EXPECT_EQ (c->getParamNormalized (kLevelId), 0.5);
	EXPECT_EQ (longStream.position (), 204);
}

TEST (PlugController, StreamsThatMisreportTheirCounts)
{
	Controller c;
	c->initialize (nullptr);
	c->setParamNormalized (kLevelId, 0.3);
	c->setParamNormalized (kBand0Id + 14, 0.8);
	const auto before = allValues (c.ptr);
	const auto bytes = StateBuilder ().level (0.6).band (14, 0.9).bytes;

	// More than asked, or negative, at the level's read (the third value): refused.
	for (int32 reports : {9, 4096, -1})
	{
		PalvisTest::LyingStream in (bytes, PalvisTest::LyingStream::lieAt (2, {8, reports}));
		EXPECT_EQ (c->setComponentState (&in), kResultFalse) << reports;
		EXPECT_EQ (allValues (c.ptr), before);
	}

	// The 16 kHz band (the eighteenth value) counted but never written: it reads as 0.
	PalvisTest::LyingStream in (bytes, PalvisTest::LyingStream::lieAt (17, {0, 8}));
	PalvisTest::paintStack ();
	EXPECT_EQ (c->setComponentState (&in), kResultOk);
	EXPECT_EQ (c->getParamNormalized (kLevelId), 0.6);
	EXPECT_EQ (c->getParamNormalized (kBand0Id + 14), 0.0);
}

TEST (PlugController, ReservedValuesChangeNothing)
{
	Controller c;
	c->initialize (nullptr);
	MemoryStream plain = StateBuilder ().stream ();
	c->setComponentState (&plain);
	const auto before = allValues (c.ptr);

	StateBuilder reserved;
	for (int i = 0; i < 6; ++i)
		reserved.reserved (i, 0.9 + i);
	for (int i = 0; i < 4; ++i)
		reserved.reservedFlag (i, 5);
	MemoryStream stream = reserved.stream ();
	EXPECT_EQ (c->setComponentState (&stream), kResultOk);
	EXPECT_EQ (allValues (c.ptr), before);
	EXPECT_EQ (c->getParameterCount (), 17);
}

TEST (PlugController, ComponentStateWithoutParameters)
{
	Controller c;
	MemoryStream stream = StateBuilder ().level (0.1).stream ();
	EXPECT_EQ (c->setComponentState (&stream), kResultOk);
	EXPECT_EQ (stream.position (), 204); // it was read
	EXPECT_EQ (c->getParameterCount (), 0);

	c->initialize (nullptr);
	c->terminate ();
	MemoryStream again = StateBuilder ().level (0.1).stream ();
	EXPECT_EQ (c->setComponentState (&again), kResultOk);
	EXPECT_EQ (c->getParameterCount (), 0);
}

TEST (PlugController, ParametersTellTheirDependents)
{
	struct Watcher : IDependent
	{
		tresult PLUGIN_API queryInterface (const TUID, void** obj) override
		{
			*obj = nullptr;
			return kNoInterface;
		}
		uint32 PLUGIN_API addRef () override { return 1; }
		uint32 PLUGIN_API release () override { return 1; }
		void PLUGIN_API update (FUnknown*, int32) override { ++count; }
		int count {0};
	} watcher;

	Controller c;
	c->initialize (nullptr);
	Parameter* level = c->getParameterObject (kLevelId);
	level->addDependent (&watcher);
	MemoryStream same = StateBuilder ().stream (); // level stays 0.75
	c->setComponentState (&same);
	EXPECT_EQ (watcher.count, 0);
	MemoryStream other = StateBuilder ().level (0.2).stream ();
	c->setComponentState (&other);
	EXPECT_EQ (watcher.count, 1);
	level->removeDependent (&watcher);
}

TEST (PlugController, StateOfItsOwnIsNotImplemented)
{
	Controller c;
	c->initialize (nullptr);
	MemoryStream stream;
	EXPECT_EQ (c->setState (&stream), kNotImplemented);
	EXPECT_EQ (c->getState (&stream), kNotImplemented);
	EXPECT_TRUE (stream.bytes ().empty ());
	EXPECT_EQ (c->openHelp (false), kResultFalse);
	EXPECT_EQ (c->openAboutBox (true), kResultFalse);
}

TEST (PlugController, NoViewYet)
{
	Controller c;
	c->initialize (nullptr);
	EXPECT_EQ (c->createView ("editor"), nullptr);
	EXPECT_EQ (c->createView ("Editor"), nullptr);
	EXPECT_EQ (c->createView (nullptr), nullptr);
}

TEST (PlugController, HostKnobModeIsOneValueForTheProcess)
{
	// Nothing before this test sets the mode.
	EXPECT_EQ (EditController::getHostKnobMode (), kCircularMode);
	Controller a;
	Controller b;
	EXPECT_EQ (a->setKnobMode (kLinearMode), kResultTrue);
	EXPECT_EQ (EditController::getHostKnobMode (), kLinearMode);
	FUnknownPtr<IEditController2> second (static_cast<IEditController*> (b.ptr.get ()));
	ASSERT_TRUE (second);
	EXPECT_EQ (second->setKnobMode (kRelativCircularMode), kResultTrue);
	EXPECT_EQ (EditController::getHostKnobMode (), kRelativCircularMode);
	EXPECT_EQ (a->setKnobMode (7), kInvalidArgument);
	EXPECT_EQ (a->setKnobMode (-1), kInvalidArgument);
	EXPECT_EQ (EditController::getHostKnobMode (), kRelativCircularMode);
	a->setKnobMode (kCircularMode);
}

TEST (PlugController, EditsGoToTheComponentHandler)
{
	Controller c;
	c->initialize (nullptr);
	EXPECT_EQ (c->beginEdit (kLevelId), kResultFalse);
	EXPECT_EQ (c->startGroupEdit (), kResultFalse);
	EXPECT_EQ (c->setDirty (true), kResultFalse);

	RecordingHandler handler;
	EXPECT_EQ (c->setComponentHandler (&handler), kResultTrue);
	EXPECT_EQ (c->getComponentHandler (), static_cast<IComponentHandler*> (&handler));
	EXPECT_EQ (handler.refs, 2); // the handler and its second interface

	EXPECT_EQ (c->startGroupEdit (), kResultOk);
	EXPECT_EQ (c->beginEdit (kLevelId), kResultOk);
	EXPECT_EQ (c->performEdit (kLevelId, 0.6), kResultOk);
	EXPECT_EQ (c->endEdit (kLevelId), kResultOk);
	EXPECT_EQ (c->finishGroupEdit (), kResultOk);
	EXPECT_EQ (c->setDirty (true), kResultOk);
	EXPECT_EQ (handler.lastValue, 0.6);
	std::vector<std::string> expected {"startGroup:0", "begin:1", "perform:1", "end:1", "finishGroup:0",
	                                   "dirty:1"};
	EXPECT_EQ (handler.calls, expected);

	// A handler without the second interface: group edits are refused.
	RecordingHandler basic;
	basic.offersHandler2 = false;
	EXPECT_EQ (c->setComponentHandler (&basic), kResultTrue);
	EXPECT_EQ (handler.refs, 0);
	EXPECT_EQ (basic.refs, 1);
	EXPECT_EQ (c->startGroupEdit (), kResultFalse);
	EXPECT_EQ (c->performEdit (kBand0Id, 0.1), kResultOk);
	EXPECT_EQ (basic.calls.back (), "perform:2");

	EXPECT_EQ (c->setComponentHandler (nullptr), kResultTrue);
	EXPECT_EQ (basic.refs, 0);
	EXPECT_EQ (c->endEdit (kLevelId), kResultFalse);
}

TEST (PlugController, InterfacesOfTheController)
{
	Controller c;
	FUnknown* unknown = static_cast<IEditController*> (c.ptr.get ());
	struct Case
	{
		const FUID& iid;
		const char* name;
	};
	for (const Case& item : {Case {FUnknown::iid, "FUnknown"}, Case {IPluginBase::iid, "IPluginBase"},
	                         Case {IEditController::iid, "IEditController"},
	                         Case {IEditController2::iid, "IEditController2"},
	                         Case {IConnectionPoint::iid, "IConnectionPoint"}})
	{
		void* obj = nullptr;
		EXPECT_EQ (unknown->queryInterface (item.iid, &obj), kResultOk) << item.name;
		EXPECT_NE (obj, nullptr) << item.name;
		if (obj)
			static_cast<FUnknown*> (obj)->release ();
	}
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (unknown->queryInterface (IComponentHandler::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	EXPECT_EQ (c.ptr->getRefCount (), 1);

	// Through the plug-in base interface: the same object is initialised.
	FUnknownPtr<IPluginBase> base (unknown);
	ASSERT_TRUE (base);
	EXPECT_EQ (base->initialize (nullptr), kResultOk);
	EXPECT_EQ (c->getParameterCount (), 17);
	FUnknownPtr<IEditController> edit (unknown);
	EXPECT_EQ (edit->getParameterCount (), 17);
	EXPECT_EQ (base->terminate (), kResultOk);
	EXPECT_EQ (c->getParameterCount (), 0);
}

TEST (PlugController, AboutControllerList)
{
	Controller c;
	// Only the pointers are kept; the objects belong to the editor.
	auto* first = reinterpret_cast<PlugController::AboutController*> (0x1000);
	auto* second = reinterpret_cast<PlugController::AboutController*> (0x2000);
	auto* third = reinterpret_cast<PlugController::AboutController*> (0x3000);
	c->addAboutController (first);
	c->addAboutController (second);
	c->addAboutController (third);
	c->addAboutController (first);
	using List = std::vector<PlugController::AboutController*>;
	EXPECT_EQ (c->aboutControllers, (List {first, second, third, first}));

	c->removeAboutController (first); // only the first equal entry
	EXPECT_EQ (c->aboutControllers, (List {second, third, first}));
	c->removeAboutController (reinterpret_cast<PlugController::AboutController*> (0x4000));
	EXPECT_EQ (c->aboutControllers, (List {second, third, first}));
	c->removeAboutController (third);
	EXPECT_EQ (c->aboutControllers, (List {second, first}));
	c->removeAboutController (second);
	c->removeAboutController (first);
	EXPECT_TRUE (c->aboutControllers.empty ());
	c->removeAboutController (first);
	EXPECT_TRUE (c->aboutControllers.empty ());
}
