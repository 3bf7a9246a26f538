// The edit controller through IEditController: the parameter list, display
// strings and conversions, and the processor's state handed to the controller.

#include "hostlib/memorystream.h"
#include "hostlib/strings.h"

#include "test_support.h"

#include <cmath>
#include <limits>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace testsupport;
using vsthost::toUtf8;

class BundleController : public BundleTest
{
};

TEST_F (BundleController, ParameterListAsTheHostSeesIt)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	IEditController* controller = instance->getController ();
	ASSERT_NE (controller, nullptr);
	ASSERT_EQ (controller->getParameterCount (), 17);
	auto infos = instance->getParameterInfos ();
	ASSERT_EQ (infos.size (), 17u);

	for (int32 index = 0; index < 17; ++index)
	{
		const ParameterInfo& info = infos[static_cast<size_t> (index)];
		SCOPED_TRACE ("parameter index " + std::to_string (index));
		EXPECT_EQ (info.id, static_cast<ParamID> (index));
		EXPECT_EQ (toUtf8 (info.shortTitle, 128), "");
		EXPECT_EQ (info.unitId, kRootUnitId);
		if (index == 0)
		{
			EXPECT_EQ (toUtf8 (info.title, 128), "Bypass");
			EXPECT_EQ (toUtf8 (info.units, 128), "");
			EXPECT_EQ (info.flags, 0x10001);
			EXPECT_EQ (info.stepCount, 1);
			EXPECT_EQ (info.defaultNormalizedValue, 0.0);
			EXPECT_EQ (instance->getParamDisplay (0, info.defaultNormalizedValue), "Off");
			continue;
		}
		const std::string title = index == 1 ? "Level" : kBandTitles[index - 2];
		EXPECT_EQ (toUtf8 (info.title, 128), title);
		EXPECT_EQ (toUtf8 (info.units, 128), "dB");
		EXPECT_EQ (info.flags, ParameterInfo::kCanAutomate);
		EXPECT_EQ (info.stepCount, 0);
		EXPECT_EQ (info.defaultNormalizedValue, index == 1 ? 0.75 : 0.5);
		EXPECT_EQ (controller->getParamNormalized (info.id), info.defaultNormalizedValue);
		EXPECT_EQ (instance->getParamDisplay (info.id, info.defaultNormalizedValue), "0.00");
	}
	ParameterInfo info {};
	EXPECT_NE (controller->getParameterInfo (17, info), kResultOk);
	EXPECT_NE (controller->getParameterInfo (-1, info), kResultOk);
}

TEST_F (BundleController, DisplayStringsAndValueConversions)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	IEditController* controller = instance->getController ();
	ASSERT_NE (controller, nullptr);
	EXPECT_EQ (instance->getParamDisplay (kBypassId, 1.0), "On");
	EXPECT_EQ (instance->getParamDisplay (kLevelId, 0.0), "-36.00");
	EXPECT_EQ (instance->getParamDisplay (kLevelId, 1.0), "12.00");
	EXPECT_EQ (instance->getParamDisplay (kFirstBandId, 1.0), "12.00");
	EXPECT_EQ (instance->getParamDisplay (kFirstBandId, 0.0), "-12.00");
	EXPECT_EQ (instance->getParamDisplay (kFirstBandId + 3, 0.5 - 1e-6), "0.00"); // never "-0.00"
	EXPECT_EQ (instance->getParamDisplay (kFirstBandId + 3, (3.5 + 12.0) / 24.0), "3.50");

	EXPECT_EQ (controller->plainParamToNormalized (kLevelId, 0.0), 0.75);
	EXPECT_EQ (controller->plainParamToNormalized (kLevelId, -36.0), 0.0);
	EXPECT_EQ (controller->plainParamToNormalized (kFirstBandId, 12.0), 1.0);
	EXPECT_EQ (controller->plainParamToNormalized (kFirstBandId, -6.0), 0.25);
	EXPECT_EQ (controller->normalizedParamToPlain (kLevelId, 0.75), 0.0);
	EXPECT_EQ (controller->normalizedParamToPlain (kFirstBandId + 14, 0.25), -6.0);
}

TEST_F (BundleController, KeepsNoStateOfItsOwn)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	auto stream = vsthost::MemoryStream::create ();
	EXPECT_EQ (instance->getController ()->getState (stream.get ()), kNotImplemented);
	EXPECT_EQ (instance->getController ()->setState (stream.get ()), kNotImplemented);
}

// The processor's state, saved after parameter changes, sets the controller's
// parameters; with the connection points connected or not.
class BundleStateToController : public BundleTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P (BundleStateToController, ProcessorStateSetsTheParameters)
{
	vsthost::InstanceOptions options;
	options.connectComponents = GetParam ();

	auto source = createInstance ();
	ASSERT_NE (source, nullptr);
	std::string error;
	ASSERT_TRUE (source->start (48000, 128, kSample32, error)) << error;
	source->queueParameterChange (kBypassId, 1.0);
	source->queueParameterChange (kLevelId, 0.25);
	for (int band = 0; band < 15; ++band)
		source->queueParameterChange (kFirstBandId + static_cast<ParamID> (band), band / 16.0);
	ASSERT_EQ (source->flushParameters (), kResultOk);
	std::vector<uint8> state;
	ASSERT_EQ (source->getState (state), kResultOk);

	auto target = createInstance (options);
	ASSERT_NE (target, nullptr);
	EXPECT_EQ (target->isConnected (), GetParam ());
	ASSERT_EQ (target->loadState (state), kResultOk);
	IEditController* controller = target->getController ();
	EXPECT_EQ (controller->getParamNormalized (kBypassId), 1.0);
	EXPECT_EQ (controller->getParamNormalized (kLevelId), 0.25);
	for (int band = 0; band < 15; ++band)
		EXPECT_EQ (controller->getParamNormalized (kFirstBandId + static_cast<ParamID> (band)), band / 16.0)
		    << kBandTitles[band];
	// The processor of the target took the same state.
	std::vector<uint8> targetState;
	ASSERT_EQ (target->getState (targetState), kResultOk);
	EXPECT_EQ (targetState, state);
}

TEST_P (BundleStateToController, OutOfRangeValuesAreLimitedAndShortStatesRefused)
{
	vsthost::InstanceOptions options;
	options.connectComponents = GetParam ();
	auto instance = createInstance (options);
	ASSERT_NE (instance, nullptr);
	IEditController* controller = instance->getController ();

	StateValues values;
	values.bypass = 2;
	values.level = std::numeric_limits<double>::quiet_NaN ();
	values.bands[0] = 1.5;
	values.bands[1] = -0.25;
	values.bands[2] = std::numeric_limits<double>::infinity ();
	values.reserved = {9, 9, 9, 9, 9, 9};
	values.reservedFlags = {1, 1, 1, 1};
	ASSERT_EQ (instance->setControllerComponentState (encodeState (values)), kResultOk);
	EXPECT_EQ (controller->getParamNormalized (kBypassId), 1.0);
	EXPECT_EQ (controller->getParamNormalized (kLevelId), 0.0);
	EXPECT_EQ (controller->getParamNormalized (kFirstBandId), 1.0);
	EXPECT_EQ (controller->getParamNormalized (kFirstBandId + 1), 0.0);
	EXPECT_EQ (controller->getParamNormalized (kFirstBandId + 2), 1.0);
	EXPECT_EQ (controller->getParamNormalized (kFirstBandId + 3), 0.5);
	EXPECT_EQ (controller->getParameterCount (), 17);

	values.bypass = -1;
	values.level = 0.5;
	auto bytes = encodeState (values);
	bytes.pop_back ();
	EXPECT_EQ (instance->setControllerComponentState (bytes), kResultFalse);
	EXPECT_EQ (controller->getParamNormalized (kBypassId), 1.0); // unchanged
	EXPECT_EQ (controller->getParamNormalized (kLevelId), 0.0);
	EXPECT_EQ (controller->setComponentState (nullptr), kResultFalse);

	bytes.push_back (0);
	ASSERT_EQ (instance->setControllerComponentState (bytes), kResultOk);
	EXPECT_EQ (controller->getParamNormalized (kBypassId), 0.0);
	EXPECT_EQ (controller->getParamNormalized (kLevelId), 0.5);
}

INSTANTIATE_TEST_SUITE_P (Connection, BundleStateToController, ::testing::Bool (),
                          [] (const ::testing::TestParamInfo<bool>& info) {
	                          return info.param ? "Connected" : "NotConnected";
                          });

TEST_F (BundleController, EditsGoFromTheHandlerToTheProcessorInTheNextBlock)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	std::string error;
	ASSERT_TRUE (instance->start (44100, 64, kSample32, error)) << error;
	// What a controller reports while the user drags the 1 kHz slider.
	vsthost::ComponentHandler& handler = instance->getComponentHandler ();
	IComponentHandler* asPlugInSeesIt = &handler;
	asPlugInSeesIt->beginEdit (kFirstBandId + 8);
	asPlugInSeesIt->performEdit (kFirstBandId + 8, 0.6);
	asPlugInSeesIt->performEdit (kFirstBandId + 8, 0.7);
	asPlugInSeesIt->endEdit (kFirstBandId + 8);

	std::vector<float> zeros (64, 0.0f), out0 (64), out1 (64);
	float* in[2] = {zeros.data (), zeros.data ()};
	float* out[2] = {out0.data (), out1.data ()};
	ASSERT_EQ (instance->process32 (in, out, 2, 64), kResultOk);
	ParamValue sent = 0;
	ASSERT_TRUE (instance->getLastBlockChanges ().getLastValue (kFirstBandId + 8, sent));
	EXPECT_EQ (sent, 0.7);

	std::vector<uint8> state;
	ASSERT_EQ (instance->getState (state), kResultOk);
	StateValues expected;
	expected.bands[8] = 0.7;
	EXPECT_EQ (state, encodeState (expected));

	// Nothing is sent twice.
	ASSERT_EQ (instance->process32 (in, out, 2, 64), kResultOk);
	EXPECT_EQ (instance->getLastBlockChanges ().getParameterCount (), 0);
}

TEST_F (BundleController, ReferencesToHostObjectsAreBalanced)
{
	const int32 liveBefore = vsthost::liveHostObjects ();
	{
		auto instance = createInstance ();
		ASSERT_NE (instance, nullptr);
		vsthost::ComponentHandler& handler = instance->getComponentHandler ();
		vsthost::HostApplication& host = instance->getHostApplication ();
		handler.addRef ();
		host.addRef ();
		std::string error;
		ASSERT_TRUE (instance->start (48000, 32, kSample64, error)) << error;
		instance->terminate ();
		// The plug-in's objects are gone with the host's last reference (the
		// connection points did not keep each other alive).
		EXPECT_EQ (instance->getComponentRefsAfterRelease (), 0);
		EXPECT_EQ (instance->getControllerRefsAfterRelease (), 0);
		// Only our own references remain: the instance's and the one taken above.
		EXPECT_EQ (handler.getRefCount (), 2u);
		EXPECT_EQ (host.getRefCount (), 2u);
		handler.release ();
		host.release ();
	}
	EXPECT_EQ (vsthost::liveHostObjects (), liveBefore);
}

} // namespace
