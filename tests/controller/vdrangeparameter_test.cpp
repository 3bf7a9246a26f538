#include "controller/vdrangeparameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::u16string shown (const Parameter& p, ParamValue v)
{
	String128 out;
	for (auto& c : out)
		c = u'?';
	p.toString (v, out);
	return out;
}

IPtr<VDRangeParameter> band ()
{
	auto p = owned (new VDRangeParameter (u"25Hz", 2, u"dB", ParameterInfo::kCanAutomate, -12., 12., 0.));
	p->setPrecision (2);
	return p;
}

IPtr<VDRangeParameter> level ()
{
	auto p = owned (new VDRangeParameter (u"Level", 1, u"dB", ParameterInfo::kCanAutomate, -36., 12., 0.));
	p->setPrecision (2);
	return p;
}

IPtr<VDExpRangeParameter> frequency (ParamValue defaultPlain = 20.)
{
	return owned (new VDExpRangeParameter (u"Freq", 20, u"Hz", ParameterInfo::kCanAutomate, 20., 20000.,
	                                       defaultPlain));
}

} // namespace

TEST (VDRangeParameter, CentredBandNeverShowsNegativeZero)
{
	auto p = band ();
	EXPECT_EQ (shown (*p, 0.5), u"0.00");
	// Plain -0.000024 dB: printed as it stands this would be "-0.00".
	EXPECT_NEAR (p->toPlain (0.5 - 1e-6), -2.4e-5, 1e-12);
	EXPECT_EQ (shown (*p, 0.5 - 1e-6), u"0.00");
	EXPECT_EQ (shown (*p, 0.5 + 1e-6), u"0.00");
	EXPECT_EQ (shown (*p, 0.5 + 3.5 / 24), u"3.50");
	EXPECT_EQ (shown (*p, 0.0), u"-12.00");
}

TEST (VDRangeParameter, SnapIsStrictAndNarrow)
{
	// A range starting at exactly -0.00005 makes toPlain (0) that very double.
	auto edge = owned (new VDRangeParameter (u"Edge", 30, nullptr, 1, -0.00005, 1., 0.5));
	ASSERT_EQ (edge->toPlain (0.), -0.00005);
	edge->setPrecision (2);
	EXPECT_EQ (shown (*edge, 0.), u"-0.00");
	edge->setPrecision (6);
	EXPECT_EQ (shown (*edge, 0.), u"-0.000050");

	auto inside = owned (new VDRangeParameter (u"Inside", 31, nullptr, 1, -0.0000499, 1., 0.5));
	inside->setPrecision (6);
	EXPECT_EQ (shown (*inside, 0.), u"0.000000");

	// -0.001 dB is well outside the snap and keeps its sign.
	auto p = band ();
	ParamValue v = (12. - 0.001) / 24.;
	EXPECT_NEAR (p->toPlain (v), -0.001, 1e-12);
	EXPECT_EQ (shown (*p, v), u"-0.00");
}

TEST (VDRangeParameter, FourDecimalsUntilThePrecisionIsSet)
{
	auto p = owned (new VDRangeParameter (u"25Hz", 2, u"dB", 1, -12., 12., 0.));
	EXPECT_EQ (p->getPrecision (), 4);
	EXPECT_EQ (shown (*p, 0.5), u"0.0000");
	EXPECT_EQ (shown (*p, 0.5 - 1e-6), u"0.0000");
	EXPECT_EQ (shown (*p, 1.0), u"12.0000");
}

TEST (VDRangeParameter, PrecisionBeyondTheStringShowsNothing)
{
	// "-12." and 123 digits fill the 128 units; one more digit does not fit.
	auto p = band ();
	p->setPrecision (123);
	EXPECT_EQ (shown (*p, 0.0), u"-12." + std::u16string (123, u'0'));
	p->setPrecision (124);
	EXPECT_EQ (shown (*p, 0.0), u"");
	p->setPrecision (std::numeric_limits<int32>::max ());
	EXPECT_EQ (shown (*p, 0.0), u"");
	auto f = frequency ();
	f->setPrecision (std::numeric_limits<int32>::max ());
	EXPECT_EQ (shown (*f, 1.0), u"");
}

TEST (VDRangeParameter, LevelDisplay)
{
	auto p = level ();
	EXPECT_EQ (shown (*p, 0.75), u"0.00");
	EXPECT_EQ (shown (*p, 0.0), u"-36.00");
	EXPECT_EQ (shown (*p, 1.0), u"12.00");
	p->toString (0.5, nullptr); // no buffer: nothing to do, no crash
}

TEST (VDRangeParameter, InfoFromTheConstructor)
{
	auto p = level ();
	const ParameterInfo& info = p->getInfo ();
	EXPECT_EQ (info.id, 1u);
	EXPECT_EQ (std::u16string (info.title), u"Level");
	EXPECT_EQ (std::u16string (info.units), u"dB");
	EXPECT_EQ (info.shortTitle[0], 0);
	EXPECT_EQ (info.stepCount, 0);
	EXPECT_EQ (info.unitId, 0);
	EXPECT_EQ (info.flags, 1);
	EXPECT_EQ (info.defaultNormalizedValue, 0.75);
	EXPECT_EQ (p->getNormalized (), 0.75);
	EXPECT_EQ (p->getMin (), -36.);
	EXPECT_EQ (p->getMax (), 12.);
	// No identity of its own.
	EXPECT_STREQ (p->isA (), "RangeParameter");
}

TEST (VDRangeParameter, LongTitleIsCutAndNullUnitsStayEmpty)
{
	std::u16string longTitle (200, u'a');
	longTitle[126] = u'z';
	longTitle[127] = u'q';
	auto p = owned (new VDRangeParameter (longTitle.c_str (), 5, nullptr, 1, 0., 1., 0.));
	const ParameterInfo& info = p->getInfo ();
	EXPECT_EQ (std::u16string (info.title).size (), 127u);
	EXPECT_EQ (info.title[126], u'z');
	EXPECT_EQ (info.title[127], 0);
	EXPECT_EQ (info.units[0], 0);
}

TEST (VDRangeParameter, DefaultIsNotClamped)
{
	auto p = owned (new VDRangeParameter (u"Wide", 6, nullptr, 1, 0., 10., 15.));
	EXPECT_EQ (p->getInfo ().defaultNormalizedValue, 1.5);
	EXPECT_EQ (p->getNormalized (), 1.5);
	// Any later change goes through the limiting setter.
	p->setNormalized (1.7);
	EXPECT_EQ (p->getNormalized (), 1.0);
}

TEST (VDRangeParameter, TypedInputIsClampedToTheRange)
{
	auto p = band ();
	ParamValue v = 0;
	EXPECT_TRUE (p->fromString (u"6", v));
	EXPECT_EQ (v, 0.75);
	EXPECT_TRUE (p->fromString (u"-40", v));
	EXPECT_EQ (v, 0.0);
	EXPECT_FALSE (p->fromString (u"loud", v));
}

TEST (VDExpRangeParameter, ExponentialMapping)
{
	auto p = frequency ();
	EXPECT_NEAR (p->toPlain (0.5), 632.455532033676, 1e-9);
	EXPECT_DOUBLE_EQ (p->toPlain (0.), 20.);
	EXPECT_NEAR (p->toPlain (1.), 20000., 1e-9);
	EXPECT_NEAR (p->toNormalized (200.), 1. / 3., 1e-15);
	EXPECT_EQ (p->toNormalized (20.), 0.);
	EXPECT_NEAR (p->toNormalized (10.), -0.100343, 1e-6);
	EXPECT_NEAR (p->toNormalized (20000.), 1., 1e-15);
	// Outside [0, 1] it extrapolates.
	EXPECT_NEAR (p->toPlain (-0.100343), 10., 1e-4);
	EXPECT_STREQ (p->isA (), "RangeParameter");
}

TEST (VDExpRangeParameter, DefaultUsesTheExponentialMapping)
{
	auto p = frequency (200.);
	EXPECT_NEAR (p->getInfo ().defaultNormalizedValue, 1. / 3., 1e-15);
	EXPECT_EQ (p->getNormalized (), p->getInfo ().defaultNormalizedValue);
	EXPECT_EQ (frequency (20.)->getNormalized (), 0.);
}

TEST (VDExpRangeParameter, RangeIsReadAtEveryCall)
{
	auto p = frequency ();
	p->setMax (2000.);
	EXPECT_NEAR (p->toPlain (0.5), 200., 1e-9);
	EXPECT_NEAR (p->toNormalized (200.), 0.5, 1e-15);
}

TEST (VDExpRangeParameter, DisplayHasNoSnap)
{
	auto p = frequency ();
	EXPECT_EQ (shown (*p, 0.5), u"632.4555");
	p->setPrecision (1);
	EXPECT_EQ (shown (*p, 0.), u"20.0");

	auto tiny = owned (new VDExpRangeParameter (u"Tiny", 21, nullptr, 1, -1e-5, -1., -1e-5));
	tiny->setPrecision (2);
	EXPECT_EQ (shown (*tiny, 0.), u"-0.00");
}

TEST (VDExpRangeParameter, TypedInputIsClampedAndMappedExponentially)
{
	auto p = frequency ();
	ParamValue v = -1;
	EXPECT_TRUE (p->fromString (u"200", v));
	EXPECT_NEAR (v, 1. / 3., 1e-15);
	EXPECT_TRUE (p->fromString (u"5", v));
	EXPECT_EQ (v, 0.);
	EXPECT_TRUE (p->fromString (u"1e9", v));
	EXPECT_NEAR (v, 1., 1e-15);
}
