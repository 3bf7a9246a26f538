// Helpers for the equaliser tests: an active processor owned like a host owns
// it, stereo blocks, bitwise comparisons and the response of a biquad.
#pragma once

#include "processor/plugprocessor.h"

#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <random>
#include <vector>

namespace EqTest {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr double kPi = 3.14159265358979323846;

// An initialised, set-up and active processor; released at the end.
class Equaliser
{
public:
	explicit Equaliser (double rate = 44100., int32 maxBlock = 4096, EqPath path = EqPath::kReference)
	: p (new PlugProcessor ())
	{
		init = p->initialize (nullptr);
		ProcessSetup setup {kRealtime, kSample64, maxBlock, rate};
		setupResult = p->setupProcessing (setup);
		activeResult = p->setActive (true);
		p->eqPath = path;
	}
	~Equaliser ()
	{
		p->setActive (false);
		p->terminate ();
		p->release ();
	}
	Equaliser (const Equaliser&) = delete;
	Equaliser& operator= (const Equaliser&) = delete;

	PlugProcessor* operator-> () const { return p; }
	PlugProcessor& operator* () const { return *p; }

	// Normalised band values and level, then one redesign as after a parameter change.
	void setBand (int band, double value)
	{
		p->params.bands[band] = value;
		p->updateFilters (false);
	}
	void setBandDb (int band, double db) { setBand (band, (db + 12.) / 24.); }
	void setLevel (double value)
	{
		p->params.level = value;
		p->updateFilters (false);
	}

	tresult init, setupResult, activeResult;

private:
	PlugProcessor* p;
};

template <typename T>
struct Stereo
{
	explicit Stereo (int32 n) : left (static_cast<size_t> (n)), right (static_cast<size_t> (n)) {}
	std::vector<T> left, right;
	T* channels[2];
	T** ptr ()
	{
		channels[0] = left.data ();
		channels[1] = right.data ();
		return channels;
	}
	int32 size () const { return static_cast<int32> (left.size ()); }
};

template <typename T>
Stereo<T> noise (int32 n, uint32_t seed, double amplitude = 0.5)
{
	std::mt19937 gen (seed);
	std::uniform_real_distribution<double> dist (-amplitude, amplitude);
	Stereo<T> s (n);
	for (int32 j = 0; j < n; ++j)
	{
		s.left[static_cast<size_t> (j)] = static_cast<T> (dist (gen));
		s.right[static_cast<size_t> (j)] = static_cast<T> (dist (gen));
	}
	return s;
}

// Filters block by block, separate buffers.
template <typename T>
Stereo<T> run (PlugProcessor& p, Stereo<T>& in)
{
	Stereo<T> out (in.size ());
	if (sizeof (T) == 4)
		p.processAudio32 (reinterpret_cast<Sample32**> (in.ptr ()), reinterpret_cast<Sample32**> (out.ptr ()), in.size ());
	else
		p.processAudio64 (reinterpret_cast<Sample64**> (in.ptr ()), reinterpret_cast<Sample64**> (out.ptr ()), in.size ());
	return out;
}

inline bool sameBits (const void* a, const void* b, size_t bytes)
{
	return std::memcmp (a, b, bytes) == 0;
}

template <typename T>
bool sameBits (const std::vector<T>& a, const std::vector<T>& b)
{
	return a.size () == b.size () && sameBits (a.data (), b.data (), a.size () * sizeof (T));
}

inline bool sameBits (double a, double b)
{
	return sameBits (&a, &b, sizeof (double));
}

// Filter k's coefficients as a biquad.
struct Biquad
{
	double b0, b1, b2, a1, a2;
	static Biquad of (const PlugProcessor& p, int k)
	{
		return {p.coefB0[k], p.coefB1[k], p.coefB2[k], p.coefA1[k], p.coefA2[k]};
	}
	// |H| at f Hz for sample rate fs.
	double magnitude (double f, double fs) const
	{
		const std::complex<double> z1 = std::polar (1., -2. * kPi * f / fs);
		const std::complex<double> z2 = z1 * z1;
		return std::abs ((b0 + b1 * z1 + b2 * z2) / (1. + a1 * z1 + a2 * z2));
	}
};

// The frequency between lo and hi (Hz) where |H| crosses level (by bisection;
// |H| must lie on different sides of level at lo and hi).
inline double crossing (const Biquad& h, double fs, double level, double lo, double hi)
{
	const bool rising = h.magnitude (lo, fs) < level;
	for (int i = 0; i < 200; ++i)
	{
		const double mid = 0.5 * (lo + hi);
		if ((h.magnitude (mid, fs) < level) == rising)
			lo = mid;
		else
			hi = mid;
	}
	return 0.5 * (lo + hi);
}

} // namespace EqTest
