// Skewed-pipeline kernel for AVX-512: eight lanes, four bands of both channels per vector.
#include "eqkernel.h"

#include <immintrin.h>

// GCC 12 reports its own intrinsics' deliberately undefined registers.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#pragma GCC push_options
#pragma GCC target("avx512f")

namespace Steinberg {
namespace Vst {
namespace Eq {
namespace {

struct Avx512
{
	using Vec = __m512d;
	using Mask = __mmask8;
	static constexpr int kLanes = 8;

	static inline Vec load (const double* p) { return _mm512_load_pd (p); }
	static inline void store (double* p, Vec v) { _mm512_store_pd (p, v); }
	static inline Vec set1 (double x) { return _mm512_set1_pd (x); }
	static inline Vec add (Vec a, Vec b) { return _mm512_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm512_sub_pd (a, b); }
	static inline Vec mul (Vec a, Vec b) { return _mm512_mul_pd (a, b); }
	// [pair, y0[0] .. y0[5]]
	static inline Vec first (Vec y0, __m128d pair)
	{
		const __m512i index = _mm512_set_epi64 (5, 4, 3, 2, 1, 0, 9, 8);
		return _mm512_permutex2var_pd (y0, index, _mm512_castpd128_pd512 (pair));
	}
	// [prev[6], prev[7], y[0] .. y[5]]
	static inline Vec next (Vec y, Vec prev)
	{
		return _mm512_castsi512_pd (_mm512_alignr_epi64 (_mm512_castpd_si512 (y), _mm512_castpd_si512 (prev), 6));
	}
	static inline Mask mask (uint32 bits, int v) { return static_cast<Mask> ((bits >> (8 * v)) & 0xff); }
	static inline Vec blend (Mask m, Vec a, Vec b) { return _mm512_mask_mov_pd (a, m, b); }
	template <int O>
	static inline __m128d pairAt (Vec y)
	{
		if (O == 0)
			return _mm512_castpd512_pd128 (y);
		return _mm_castps_pd (_mm512_extractf32x4_ps (_mm512_castpd_ps (y), O / 2));
	}
};

#include "eqkernel.inc"

} // namespace

void runKernelAvx512 (const KernelArgs& args)
{
	runKernel<Avx512> (args);
}

void clearNonFiniteAvx512 (double* x, int32 n)
{
	__m512d acc0 = _mm512_setzero_pd (), acc1 = _mm512_setzero_pd ();
	int32 j = 0;
	for (; j + 16 <= n; j += 16)
	{
		const __m512d u = _mm512_loadu_pd (x + j), v = _mm512_loadu_pd (x + j + 8);
		acc0 = _mm512_add_pd (acc0, _mm512_sub_pd (u, u));
		acc1 = _mm512_add_pd (acc1, _mm512_sub_pd (v, v));
	}
	const __m512d acc = _mm512_add_pd (acc0, acc1);
	bool bad = _mm512_cmp_pd_mask (acc, acc, _CMP_UNORD_Q) != 0;
	for (int32 k = j; k < n; ++k)
		bad |= !(x[k] - x[k] == 0.);
	if (!bad)
		return;
	for (int32 k = 0; k < n; ++k)
		if (!(x[k] - x[k] == 0.))
			x[k] = 0.;
}

void clearNonFiniteAvx512 (float* x, int32 n)
{
	__m512 acc0 = _mm512_setzero_ps (), acc1 = _mm512_setzero_ps ();
	int32 j = 0;
	for (; j + 32 <= n; j += 32)
	{
		const __m512 u = _mm512_loadu_ps (x + j), v = _mm512_loadu_ps (x + j + 16);
		acc0 = _mm512_add_ps (acc0, _mm512_sub_ps (u, u));
		acc1 = _mm512_add_ps (acc1, _mm512_sub_ps (v, v));
	}
	const __m512 acc = _mm512_add_ps (acc0, acc1);
	bool bad = _mm512_cmp_ps_mask (acc, acc, _CMP_UNORD_Q) != 0;
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
