// The equaliser's kernels for SSE2 (every x86-64 CPU): two lanes, so each
// vector holds one filter pair and the pipeline runs from vector to vector.
#include "eqkernel.h"

#include <immintrin.h>

namespace Steinberg {
namespace Vst {
namespace Eq {
namespace {

alignas (16) const uint64 kSse2Masks[4][2] = {
    {0, 0}, {~uint64 (0), 0}, {0, ~uint64 (0)}, {~uint64 (0), ~uint64 (0)}};

struct Sse2
{
	using Vec = __m128d;
	using Mask = __m128d;
	static constexpr int kRegisters = 16;
	static constexpr int kLanes = 2;

	static inline Vec load (const double* p) { return _mm_load_pd (p); }
	static inline void store (double* p, Vec v) { _mm_store_pd (p, v); }
	static inline Vec loadu (const double* p) { return _mm_loadu_pd (p); }
	static inline void storeu (double* p, Vec v) { _mm_storeu_pd (p, v); }
	static inline Vec set1 (double x) { return _mm_set1_pd (x); }
	static inline Vec add (Vec a, Vec b) { return _mm_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm_sub_pd (a, b); }
	static inline Vec mul (Vec a, Vec b) { return _mm_mul_pd (a, b); }
	static inline Vec first (Vec, __m128d pair) { return pair; }
	static inline Mask mask (uint32 bits, int v)
	{
		return _mm_load_pd (reinterpret_cast<const double*> (kSse2Masks[(bits >> (2 * v)) & 3]));
	}
	static inline Vec blend (Mask m, Vec a, Vec b) { return _mm_or_pd (_mm_and_pd (m, b), _mm_andnot_pd (m, a)); }
	template <int O>
	static inline __m128d pairAt (Vec y)
	{
		return y;
	}

	static inline Vec loadInput (const double* p) { return _mm_loadu_pd (p); }
	static inline Vec loadInput (const float* p)
	{
		return _mm_cvtps_pd (_mm_castpd_ps (_mm_load_sd (reinterpret_cast<const double*> (p))));
	}
	static inline Vec finiteOrZero (Vec x) { return _mm_and_pd (x, _mm_cmpeq_pd (_mm_sub_pd (x, x), _mm_setzero_pd ())); }
	static inline void storeOutput (double* p, Vec x) { _mm_storeu_pd (p, finiteOrZero (x)); }
	static inline void storeOutput (float* p, Vec x)
	{
		const __m128 f = _mm_cvtpd_ps (x);
		const __m128 ok = _mm_cmpeq_ps (_mm_sub_ps (f, f), _mm_setzero_ps ());
		_mm_storel_pi (reinterpret_cast<__m64*> (p), _mm_and_ps (f, ok));
	}

	template <typename T>
	struct Of;
};

template <>
struct Sse2::Of<double>
{
	using Vec = __m128d;
	static constexpr int kLanes = 2;
	static inline Vec zero () { return _mm_setzero_pd (); }
	static inline Vec loadu (const double* p) { return _mm_loadu_pd (p); }
	static inline Vec add (Vec a, Vec b) { return _mm_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm_sub_pd (a, b); }
	static inline bool anyNaN (Vec a) { return _mm_movemask_pd (_mm_cmpunord_pd (a, a)) != 0; }
};

template <>
struct Sse2::Of<float>
{
	using Vec = __m128;
	static constexpr int kLanes = 4;
	static inline Vec zero () { return _mm_setzero_ps (); }
	static inline Vec loadu (const float* p) { return _mm_loadu_ps (p); }
	static inline Vec add (Vec a, Vec b) { return _mm_add_ps (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm_sub_ps (a, b); }
	static inline bool anyNaN (Vec a) { return _mm_movemask_ps (_mm_cmpunord_ps (a, a)) != 0; }
};

#include "eqkernel.inc"

} // namespace

const KernelSet& kernelsSse2 ()
{
	return kernelSet<Sse2> ();
}

} // namespace Eq
} // namespace Vst
} // namespace Steinberg
