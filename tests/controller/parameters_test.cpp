#include "public.sdk/source/vst/vstparameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::u16string text (const TChar* s)
{
	return s;
}

std::u16string shown (const Parameter& p, ParamValue v)
{
	String128 out;
	out[0] = u'?';
	out[1] = 0;
	p.toString (v, out);
	return out;
}

// Counts the change notifications a parameter sends.
class Watcher : public IDependent
{
public:
	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }
	void PLUGIN_API update (FUnknown* changed, int32 message) override
	{
		++count;
		last = changed;
		lastMessage = message;
	}
	int count {0};
	FUnknown* last {nullptr};
	int32 lastMessage {-1};
};

} // namespace

TEST (Parameter, SetNormalizedLimitsAndNotifiesOnlyOnChange)
{
	auto* p = new Parameter (u"Bypass", 0, nullptr, 0., 1);
	Watcher watcher;
	p->addDependent (&watcher);

	EXPECT_TRUE (p->setNormalized (0.25));
	EXPECT_EQ (watcher.count, 1);
	EXPECT_EQ (watcher.last, p->unknownCast ());
	EXPECT_EQ (watcher.lastMessage, IDependent::kChanged);
	EXPECT_FALSE (p->setNormalized (0.25));
	EXPECT_EQ (watcher.count, 1);

	EXPECT_TRUE (p->setNormalized (1.5));
	EXPECT_EQ (p->getNormalized (), 1.0);
	EXPECT_TRUE (p->setNormalized (-0.25));
	EXPECT_EQ (p->getNormalized (), 0.0);
	EXPECT_TRUE (p->setNormalized (std::numeric_limits<double>::infinity ()));
	EXPECT_EQ (p->getNormalized (), 1.0);
	EXPECT_TRUE (p->setNormalized (std::nan ("")));
	EXPECT_EQ (p->getNormalized (), 0.0);
	EXPECT_FALSE (p->setNormalized (std::nan ("")));
	EXPECT_EQ (watcher.count, 5);

	p->removeDependent (&watcher);
	p->setNormalized (0.5);
	EXPECT_EQ (watcher.count, 5);
	p->release ();
}

TEST (Parameter, SwitchShowsOnAboveHalf)
{
	IPtr<Parameter> p = owned (new Parameter (u"Bypass", 0, nullptr, 0., 1));
	EXPECT_EQ (shown (*p, 0.5), u"Off");
	EXPECT_EQ (shown (*p, 0.5000001), u"On");
	EXPECT_EQ (shown (*p, 0.0), u"Off");
	EXPECT_EQ (shown (*p, 1.0), u"On");

	IPtr<Parameter> q = owned (new Parameter (u"Mix", 1));
	EXPECT_EQ (shown (*q, 0.5), u"0.5000");
	q->setPrecision (1);
	EXPECT_EQ (shown (*q, 0.25), u"0.2");
}

TEST (Parameter, FromStringGivesALimitedNormalizedValue)
{
	IPtr<Parameter> p = owned (new Parameter (u"Mix", 1));
	ParamValue v = -1;
	EXPECT_TRUE (p->fromString (u"0.3", v));
	EXPECT_EQ (v, 0.3);
	EXPECT_TRUE (p->fromString (u"7", v));
	EXPECT_EQ (v, 1.0);
	v = 0.6;
	EXPECT_FALSE (p->fromString (u"nan", v));
	EXPECT_FALSE (p->fromString (u"On", v));
	EXPECT_FALSE (p->fromString (nullptr, v));
	EXPECT_EQ (v, 0.6);
}

TEST (Parameter, ConstructorFillsTheInfo)
{
	IPtr<Parameter> p =
	    owned (new Parameter (u"Bypass", 9, u"%", 0.25, 3, ParameterInfo::kIsBypass, 4, u"Byp"));
	const ParameterInfo& info = p->getInfo ();
	EXPECT_EQ (info.id, 9u);
	EXPECT_EQ (text (info.title), u"Bypass");
	EXPECT_EQ (text (info.units), u"%");
	EXPECT_EQ (text (info.shortTitle), u"Byp");
	EXPECT_EQ (info.stepCount, 3);
	EXPECT_EQ (info.defaultNormalizedValue, 0.25);
	EXPECT_EQ (info.unitId, 4);
	EXPECT_EQ (info.flags, ParameterInfo::kIsBypass);
	EXPECT_EQ (p->getNormalized (), 0.25);
	EXPECT_EQ (p->getPrecision (), 4);
	EXPECT_STREQ (p->isA (), "Parameter");
}

TEST (RangeParameter, LinearMappingAndDisplay)
{
	IPtr<RangeParameter> p = owned (new RangeParameter (u"Gain", 3, u"dB", -12., 12., 6.));
	EXPECT_EQ (p->getInfo ().defaultNormalizedValue, 0.75);
	EXPECT_EQ (p->getNormalized (), 0.75);
	EXPECT_EQ (p->toPlain (0.25), -6.0);
	EXPECT_EQ (p->toNormalized (12.), 1.0);
	EXPECT_EQ (shown (*p, 0.5), u"0.0000");
	p->setPrecision (1);
	EXPECT_EQ (shown (*p, 1.0), u"12.0");
	// The base class has no zero snap: a hair below zero keeps its sign.
	EXPECT_EQ (shown (*p, 0.5 - 1e-6), u"-0.0");

	ParamValue v = 0;
	EXPECT_TRUE (p->fromString (u"3", v));
	EXPECT_EQ (v, 0.625);
	EXPECT_TRUE (p->fromString (u"99", v));
	EXPECT_EQ (v, 1.0);
	EXPECT_TRUE (p->fromString (u"-99", v));
	EXPECT_EQ (v, 0.0);
	EXPECT_FALSE (p->fromString (u"nan", v));
	EXPECT_TRUE (p->isTypeOf ("Parameter"));
	EXPECT_STREQ (p->isA (), "RangeParameter");
}

TEST (RangeParameter, SteppedMappingUsesWholeSteps)
{
	IPtr<RangeParameter> p = owned (new RangeParameter (u"Mode", 4, nullptr, 0., 3., 2., 3));
	EXPECT_DOUBLE_EQ (p->getInfo ().defaultNormalizedValue, 2. / 3.);
	EXPECT_EQ (p->toPlain (0.0), 0.);
	EXPECT_EQ (p->toPlain (0.26), 1.);
	EXPECT_EQ (p->toPlain (1.0), 3.);
	EXPECT_EQ (p->toPlain (std::nan ("")), 0.);
	EXPECT_EQ (shown (*p, 0.9), u"3");
	ParamValue v = 0;
	EXPECT_TRUE (p->fromString (u"1", v));
	EXPECT_DOUBLE_EQ (v, 1. / 3.);
	EXPECT_TRUE (p->fromString (u"12", v));
	EXPECT_EQ (v, 1.0);
}

TEST (ParameterContainer, AddFindAndRemove)
{
	ParameterContainer container;
	Parameter* a = container.addParameter (u"A", nullptr, 1, 0.5, 0x10001, 0);
	ASSERT_NE (a, nullptr);
	EXPECT_EQ (a->getInfo ().flags, 0x10001);
	Parameter* b = container.addParameter (u"B");
	ASSERT_NE (b, nullptr);
	EXPECT_EQ (b->getInfo ().id, 1u); // tag -1: the current count
	EXPECT_EQ (container.addParameter (nullptr, u"dB"), nullptr);

	auto* r = new RangeParameter (u"R", 40, nullptr, 0., 10., 5.);
	EXPECT_EQ (container.addParameter (r), r);
	EXPECT_EQ (r->getRefCount (), 1); // the container took the caller's reference

	EXPECT_EQ (container.getParameterCount (), 3);
	EXPECT_EQ (container.getParameterByIndex (0), a);
	EXPECT_EQ (container.getParameterByIndex (2), r);
	EXPECT_EQ (container.getParameterByIndex (3), nullptr);
	EXPECT_EQ (container.getParameterByIndex (-1), nullptr);
	EXPECT_EQ (container.getParameter (40), r);
	EXPECT_EQ (container.getParameter (41), nullptr);

	ParameterInfo info {};
	info.id = 7;
	info.defaultNormalizedValue = 0.125;
	Parameter* fromInfo = container.addParameter (info);
	ASSERT_NE (fromInfo, nullptr);
	EXPECT_EQ (fromInfo->getNormalized (), 0.125);

	container.removeAll ();
	EXPECT_EQ (container.getParameterCount (), 0);
	EXPECT_EQ (container.getParameter (40), nullptr);
	EXPECT_EQ (container.addParameter (u"again", nullptr, 0, 0., 1, 40)->getInfo ().id, 40u);
}

TEST (ParameterContainer, RefusesADuplicateId)
{
	ParameterContainer container;
	Parameter* first = container.addParameter (u"First", nullptr, 0, 0., 1, 5);
	ASSERT_NE (first, nullptr);
	EXPECT_EQ (container.addParameter (u"Second", nullptr, 0, 0., 1, 5), nullptr);
	ParameterInfo info {};
	info.id = 5;
	EXPECT_EQ (container.addParameter (info), nullptr);

	auto* clash = new RangeParameter (u"Clash", 5, nullptr, 0., 1., 0.);
	clash->addRef (); // keep it alive to see the container drop its reference
	EXPECT_EQ (container.addParameter (clash), nullptr);
	EXPECT_EQ (clash->getRefCount (), 1);
	clash->release ();

	EXPECT_EQ (container.getParameterCount (), 1);
	EXPECT_EQ (container.getParameter (5), first);
}
