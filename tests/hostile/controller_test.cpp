// The controller from the built bundle called out of order and with odd
// arguments: before initialize, twice, after terminate, with unknown IDs,
// non-finite values, odd strings, odd view names and null pointers.
#include "bundletest.h"

#include "hostlib/componenthandler.h"
#include "hostlib/hostobject.h"
#include "hostlib/memorystream.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

using namespace stress;

namespace {

const double kInf = std::numeric_limits<double>::infinity ();
const double kNaN = std::numeric_limits<double>::quiet_NaN ();

class HostileController : public BundleTest
{
protected:
	void SetUp () override
	{
		BundleTest::SetUp ();
		if (HasFatalFailure ())
			return;
		host = vsthost::HostApplication::create ("hostile");
		controller = create ();
		ASSERT_TRUE (controller);
	}
	void TearDown () override
	{
		controller = nullptr;
		host = nullptr;
		BundleTest::TearDown ();
	}

	IPtr<IEditController> create ()
	{
		void* obj = nullptr;
		if (bundle->module->getFactory ()->createInstance (bundle->controllerCid, IEditController::iid, &obj) !=
		        kResultOk ||
		    !obj)
			return {};
		return owned (static_cast<IEditController*> (obj));
	}

	// Releases a view the controller made, after poking it the way a careless host might.
	static void pokeAndRelease (IPlugView* view)
	{
		if (!view)
			return;
		view->isPlatformTypeSupported (nullptr);
		view->isPlatformTypeSupported ("no such platform");
		EXPECT_NE (view->attached (nullptr, "no such platform"), kResultOk);
		view->getSize (nullptr);
		view->onSize (nullptr);
		view->checkSizeConstraint (nullptr);
		view->setFrame (nullptr);
		view->onWheel (1.0f);
		view->onKeyDown (0, 0, 0);
		view->onKeyUp (0, 0, 0);
		view->onFocus (true);
		view->removed (); // never attached
		view->release ();
	}

	IPtr<vsthost::HostApplication> host;
	IPtr<IEditController> controller;
};

} // namespace

TEST_F (HostileController, CallsBeforeInitialize)
{
	EXPECT_EQ (controller->getParameterCount (), 0);
	ParameterInfo info {};
	EXPECT_NE (controller->getParameterInfo (0, info), kResultOk);
	EXPECT_TRUE (std::isfinite (controller->getParamNormalized (1)));
	EXPECT_NE (controller->setParamNormalized (1, 0.5), kResultOk);
	String128 s {};
	EXPECT_NE (controller->getParamStringByValue (1, 0.5, s), kResultOk);
	TChar one[] = u"1";
	ParamValue v = -1;
	EXPECT_NE (controller->getParamValueByString (1, one, v), kResultOk);
	controller->normalizedParamToPlain (1, 0.5);
	controller->plainParamToNormalized (1, 0.5);

	// A state before initialize is read and changes nothing.
	auto state = vsthost::MemoryStream::create (StateImage ().encode ());
	EXPECT_EQ (controller->setComponentState (state.get ()), kResultOk);
	EXPECT_EQ (controller->setComponentState (nullptr), kResultFalse);
	EXPECT_EQ (controller->getParameterCount (), 0);

	auto stream = vsthost::MemoryStream::create ();
	EXPECT_EQ (controller->getState (stream.get ()), kNotImplemented);
	EXPECT_EQ (controller->setState (stream.get ()), kNotImplemented);
	auto handler = vsthost::ComponentHandler::create ();
	controller->setComponentHandler (handler.get ());
	controller->setComponentHandler (nullptr);
	EXPECT_EQ (handler->getRefCount (), 1u);

	pokeAndRelease (controller->createView ("editor"));
	pokeAndRelease (controller->createView ("nothing"));

	// Terminate before initialize, then the usual start.
	controller->terminate ();
	EXPECT_EQ (controller->initialize (host->unknown ()), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 17);
	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (host->getRefCount (), 1u);
}

TEST_F (HostileController, InitializeTwiceAndTerminateTwice)
{
	EXPECT_EQ (controller->initialize (host->unknown ()), kResultOk);
	EXPECT_EQ (controller->setParamNormalized (5, 0.25), kResultOk);
	auto other = vsthost::HostApplication::create ("other");
	EXPECT_EQ (controller->initialize (other->unknown ()), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 17);
	EXPECT_EQ (controller->getParamNormalized (5), 0.25);
	EXPECT_EQ (other->getRefCount (), 1u);
	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 0);
	controller->terminate ();
	EXPECT_EQ (controller->getParameterCount (), 0);
	EXPECT_EQ (host->getRefCount (), 1u);
	EXPECT_EQ (controller->initialize (other->unknown ()), kResultOk);
	EXPECT_EQ (controller->getParameterCount (), 17);
	EXPECT_EQ (controller->getParamNormalized (5), 0.5);
	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (other->getRefCount (), 1u);
}

TEST_F (HostileController, UnknownParametersAndOddValues)
{
	ASSERT_EQ (controller->initialize (host->unknown ()), kResultOk);
	ParameterInfo info {};
	for (int32 index : {-1, 17, 18, INT_MAX, INT_MIN})
		EXPECT_NE (controller->getParameterInfo (index, info), kResultOk) << index;
	for (ParamID id : {17u, 18u, 1000u, 0x7fffffffu, 0xffffffffu})
	{
		EXPECT_TRUE (std::isfinite (controller->getParamNormalized (id)));
		EXPECT_NE (controller->setParamNormalized (id, 0.5), kResultOk);
		String128 s {};
		EXPECT_NE (controller->getParamStringByValue (id, 0.5, s), kResultOk);
		TChar one[] = u"1";
		ParamValue v = 0;
		EXPECT_NE (controller->getParamValueByString (id, one, v), kResultOk);
		controller->normalizedParamToPlain (id, kNaN);
		controller->plainParamToNormalized (id, kInf);
	}

	// Normalised values stay within [0, 1]; NaN gives 0.
	const struct
	{
		double in, out;
	} limits[] = {{kNaN, 0.0}, {-kNaN, 0.0}, {kInf, 1.0}, {-kInf, 0.0}, {1e308, 1.0}, {-1e308, 0.0}, {1.5, 1.0},
	              {-0.25, 0.0}, {4.9e-324, 4.9e-324}};
	for (ParamID id = 0; id <= 16; ++id)
	{
		for (auto l : limits)
		{
			controller->setParamNormalized (id, l.in);
			const double got = controller->getParamNormalized (id);
			EXPECT_EQ (got, l.out) << "ID " << id << " value " << l.in;
		}
		for (double v : {kNaN, kInf, -kInf, 1e308, -1e308, 2.0, -1.0, 4.9e-324})
		{
			String128 s;
			std::fill (std::begin (s), std::end (s), TChar (0x55aa));
			EXPECT_EQ (controller->getParamStringByValue (id, v, s), kResultOk);
			// Terminated within the 128 characters.
			EXPECT_LT (std::char_traits<char16_t>::length (reinterpret_cast<const char16_t*> (s)), 128u)
			    << "ID " << id << " value " << v;
			const double plain = controller->normalizedParamToPlain (id, v);
			const double back = controller->plainParamToNormalized (id, plain);
			(void)back;
		}
		const char16_t* texts[] = {u"", u" ", u"abc", u"nan", u"-nan", u"inf", u"-inf", u"1e400", u"-1e400",
		                           u"0x10", u"12 dB", u"--3", u"1,5", u"\u00e4\u00f6\u00fc",
		                           u"99999999999999999999999999999999999999999"};
		for (const char16_t* t : texts)
		{
			std::u16string copy (t);
			ParamValue v = 0.123;
			if (controller->getParamValueByString (id, reinterpret_cast<TChar*> (&copy[0]), v) == kResultOk)
			{
				EXPECT_TRUE (std::isfinite (v)) << "ID " << id;
			}
		}
		ParamValue v = 0;
		EXPECT_NE (controller->getParamValueByString (id, nullptr, v), kResultOk);
		EXPECT_NE (controller->getParamStringByValue (id, 0.5, nullptr), kResultOk);
		std::u16string longText (4000, u'7');
		controller->getParamValueByString (id, reinterpret_cast<TChar*> (&longText[0]), v);
	}
	EXPECT_EQ (controller->terminate (), kResultOk);
}

TEST_F (HostileController, ComponentStatesWithOddValues)
{
	ASSERT_EQ (controller->initialize (host->unknown ()), kResultOk);
	StateImage s;
	s.bypass = INT_MIN;
	s.level = kNaN;
	s.bands = {kInf, -kInf, 1e308, -1e308, 1.5, -0.25, 4.9e-324, -4.9e-324, 0.5, 1.0, 0.0, kNaN, -kNaN, 2.0, 0.25};
	s.reserved = {kNaN, kInf, -kInf, 1e308, 0, -0.0};
	s.flags = {INT_MIN, INT_MAX, -1, 7};
	auto stream = vsthost::MemoryStream::create (s.encode ());
	ASSERT_EQ (controller->setComponentState (stream.get ()), kResultOk);
	EXPECT_EQ (controller->getParamNormalized (0), 0.0);
	EXPECT_EQ (controller->getParamNormalized (1), 0.0);
	const double expected[15] = {1.0, 0.0, 1.0, 0.0, 1.0, 0.0, 4.9e-324, 0.0, 0.5, 1.0, 0.0, 0.0, 0.0, 1.0, 0.25};
	for (int b = 0; b < 15; ++b)
		EXPECT_EQ (controller->getParamNormalized (2 + b), expected[b]) << "band " << b;

	// A short or missing state changes nothing.
	for (size_t length : {size_t (0), size_t (8), size_t (203)})
	{
		auto bytes = StateImage ().encode ();
		bytes.resize (length);
		auto shortStream = vsthost::MemoryStream::create (bytes);
		EXPECT_EQ (controller->setComponentState (shortStream.get ()), kResultFalse);
	}
	EXPECT_EQ (controller->setComponentState (nullptr), kResultFalse);
	for (int b = 0; b < 15; ++b)
		EXPECT_EQ (controller->getParamNormalized (2 + b), expected[b]) << "band " << b;
	EXPECT_EQ (controller->terminate (), kResultOk);
}

TEST_F (HostileController, OddViewNames)
{
	ASSERT_EQ (controller->initialize (host->unknown ()), kResultOk);
	const std::string longName (10000, 'e');
	for (const char* name : {static_cast<const char*> (nullptr), "", "Editor", "EDITOR", "editor ", " editor", "edito",
	                         "editorr", "\xff\xfe\xfd", "view", "AboutController", longName.c_str ()})
	{
		IPlugView* view = controller->createView (name);
		EXPECT_EQ (view, nullptr) << (name ? std::string (name).substr (0, 20) : std::string ("null"));
		pokeAndRelease (view);
	}
	// The editor itself, made and dropped repeatedly (when the bundle has one).
	for (int i = 0; i < 3; ++i)
		pokeAndRelease (controller->createView ("editor"));
	// A view that outlives the controller's terminate.
	IPlugView* late = controller->createView ("editor");
	EXPECT_EQ (controller->terminate (), kResultOk);
	pokeAndRelease (late);
}

TEST_F (HostileController, ConnectionPointsUsedCarelessly)
{
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	ASSERT_EQ (controller->initialize (host->unknown ()), kResultOk);
	IPtr<IConnectionPoint> a, b;
	void* obj = nullptr;
	ASSERT_EQ (p.component->queryInterface (IConnectionPoint::iid, &obj), kResultOk);
	a = owned (static_cast<IConnectionPoint*> (obj));
	ASSERT_EQ (controller->queryInterface (IConnectionPoint::iid, &obj), kResultOk);
	b = owned (static_cast<IConnectionPoint*> (obj));

	EXPECT_NE (a->connect (nullptr), kResultOk);
	EXPECT_NE (a->disconnect (nullptr), kResultOk);
	EXPECT_NE (a->disconnect (b.get ()), kResultOk); // never connected
	EXPECT_NE (a->notify (nullptr), kResultOk);
	EXPECT_NE (b->notify (nullptr), kResultOk);
	EXPECT_EQ (a->connect (b.get ()), kResultOk);
	EXPECT_NE (a->connect (b.get ()), kResultOk); // already connected
	EXPECT_EQ (b->connect (a.get ()), kResultOk);
	auto message = vsthost::HostMessage::create ();
	message->setMessageID ("nobody listens");
	a->notify (message.get ());
	b->notify (message.get ());
	// Terminated while connected: terminate drops the peers, so nothing keeps
	// the other alive.
	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (p.component->terminate (), kResultOk);
	a = nullptr;
	b = nullptr;
}
