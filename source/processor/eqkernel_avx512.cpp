// The equaliser's kernels for AVX-512: eight lanes, four filter pairs per vector.
#include "eqkernel.h"

#include <immintrin.h>

// GCC 12 reports its own intrinsics' deliberately undefined registers.
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// Clang takes target options per function, GCC for the region.
#if defined(__clang__)
#pragma clang attribute push (__attribute__ ((target ("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

namespace Steinberg {
namespace Vst {
namespace Eq {
namespace {

struct Avx512
{
	using Vec = __m512d;
	using Mask = __mmask8;
	static constexpr int kRegisters = 32;
	static constexpr int kLanes = 8;

	static inline Vec load (const double* p) { return _mm512_load_pd (p); }
	static inline void store (double* p, Vec v) { _mm512_store_pd (p, v); }
	static inline Vec loadu (const double* p) { return _mm512_loadu_pd (p); }
	static inline void storeu (double* p, Vec v) { _mm512_storeu_pd (p, v); }
	static inline Vec set1 (double x) { return _mm512_set1_pd (x); }
	static inline Vec add (Vec a, Vec b) { return _mm512_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm512_sub_pd (a, b); }
	static inline Vec mul (Vec a, Vec b) { return _mm512_mul_pd (a, b); }
	// [pair, y[0] .. y[5]]
	static inline Vec first (Vec y, __m128d pair)
	{
		const __m512i index = _mm512_set_epi64 (5, 4, 3, 2, 1, 0, 9, 8);
		return _mm512_permutex2var_pd (y, index, _mm512_castpd128_pd512 (pair));
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

	static inline Vec loadInput (const double* p) { return _mm512_loadu_pd (p); }
	static inline Vec loadInput (const float* p) { return _mm512_cvtps_pd (_mm256_loadu_ps (p)); }
	static inline Vec finiteOrZero (Vec x)
	{
		return _mm512_maskz_mov_pd (_mm512_cmp_pd_mask (_mm512_sub_pd (x, x), _mm512_setzero_pd (), _CMP_EQ_OQ), x);
	}
	static inline void storeOutput (double* p, Vec x) { _mm512_storeu_pd (p, finiteOrZero (x)); }
	static inline void storeOutput (float* p, Vec x)
	{
		const __m256 f = _mm512_cvtpd_ps (x);
		const __m256 ok = _mm256_cmp_ps (_mm256_sub_ps (f, f), _mm256_setzero_ps (), _CMP_EQ_OQ);
		_mm256_storeu_ps (p, _mm256_and_ps (f, ok));
	}

	template <typename T>
	struct Of;
};

template <>
struct Avx512::Of<double>
{
	using Vec = __m512d;
	static constexpr int kLanes = 8;
	static inline Vec zero () { return _mm512_setzero_pd (); }
	static inline Vec loadu (const double* p) { return _mm512_loadu_pd (p); }
	static inline Vec add (Vec a, Vec b) { return _mm512_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm512_sub_pd (a, b); }
	static inline bool anyNaN (Vec a) { return _mm512_cmp_pd_mask (a, a, _CMP_UNORD_Q) != 0; }
};

template <>
struct Avx512::Of<float>
{
	using Vec = __m512;
	static constexpr int kLanes = 16;
	static inline Vec zero () { return _mm512_setzero_ps (); }
	static inline Vec loadu (const float* p) { return _mm512_loadu_ps (p); }
	static inline Vec add (Vec a, Vec b) { return _mm512_add_ps (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm512_sub_ps (a, b); }
	static inline bool anyNaN (Vec a) { return _mm512_cmp_ps_mask (a, a, _CMP_UNORD_Q) != 0; }
};

#include "eqkernel.inc"

} // namespace

const KernelSet& kernelsAvx512 ()
{
	return kernelSet<Avx512> ();
}

} // namespace Eq
} // namespace Vst
} // namespace Steinberg

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
