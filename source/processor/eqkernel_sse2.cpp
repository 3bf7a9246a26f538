// Skewed-pipeline kernel for SSE2 (every x86-64 CPU): two lanes, so each
// vector holds one band of both channels and the pipeline runs across vectors.
#include "eqkernel.h"

#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("sse2")

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
	static constexpr int kLanes = 2;

	static inline Vec load (const double* p) { return _mm_load_pd (p); }
	static inline void store (double* p, Vec v) { _mm_store_pd (p, v); }
	static inline Vec set1 (double x) { return _mm_set1_pd (x); }
	static inline Vec add (Vec a, Vec b) { return _mm_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm_sub_pd (a, b); }
	static inline Vec mul (Vec a, Vec b) { return _mm_mul_pd (a, b); }
	static inline Vec first (Vec, __m128d pair) { return pair; }
	static inline Vec next (Vec, Vec prev) { return prev; }
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
};

#include "eqkernel.inc"

} // namespace

void runKernelSse2 (const KernelArgs& args)
{
	runKernel<Sse2> (args);
}

void clearNonFiniteSse2 (double* x, int32 n)
{
	__m128d acc0 = _mm_setzero_pd (), acc1 = _mm_setzero_pd ();
	int32 j = 0;
	for (; j + 4 <= n; j += 4)
	{
		const __m128d u = _mm_loadu_pd (x + j), v = _mm_loadu_pd (x + j + 2);
		acc0 = _mm_add_pd (acc0, _mm_sub_pd (u, u));
		acc1 = _mm_add_pd (acc1, _mm_sub_pd (v, v));
	}
	const __m128d acc = _mm_add_pd (acc0, acc1);
	bool bad = _mm_movemask_pd (_mm_cmpunord_pd (acc, acc)) != 0;
	for (int32 k = j; k < n; ++k)
		bad |= !(x[k] - x[k] == 0.);
	if (!bad)
		return;
	for (int32 k = 0; k < n; ++k)
		if (!(x[k] - x[k] == 0.))
			x[k] = 0.;
}

void clearNonFiniteSse2 (float* x, int32 n)
{
	__m128 acc0 = _mm_setzero_ps (), acc1 = _mm_setzero_ps ();
	int32 j = 0;
	for (; j + 8 <= n; j += 8)
	{
		const __m128 u = _mm_loadu_ps (x + j), v = _mm_loadu_ps (x + j + 4);
		acc0 = _mm_add_ps (acc0, _mm_sub_ps (u, u));
		acc1 = _mm_add_ps (acc1, _mm_sub_ps (v, v));
	}
	const __m128 acc = _mm_add_ps (acc0, acc1);
	bool bad = _mm_movemask_ps (_mm_cmpunord_ps (acc, acc)) != 0;
	for (int32 k = j; k < n; ++k)
		bad |= !(x[k] - x[k] == 0.f);
	if (!bad)
		return;
	for (int32 k = 0; k < n; ++k)
		if (!(x[k] - x[k] == 0.f))
			x[k] = 0.f;
}

} // namespace Eq
} // namespace Vst
} // namespace Steinberg

#pragma GCC pop_options
