// The equaliser's kernels for AVX2: four lanes, two filter pairs per vector.
#include "eqkernel.h"

#include <immintrin.h>

// Clang takes target options per function, GCC for the region.
#if defined(__clang__)
#pragma clang attribute push (__attribute__ ((target ("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace Steinberg {
namespace Vst {
namespace Eq {
namespace {

alignas (32) const uint64 kAvx2Masks[16][4] = {
#define PALVIS_LANE(b, i) (((b) >> (i)) & 1 ? ~uint64 (0) : uint64 (0))
#define PALVIS_ROW(b) {PALVIS_LANE (b, 0), PALVIS_LANE (b, 1), PALVIS_LANE (b, 2), PALVIS_LANE (b, 3)}
    PALVIS_ROW (0),  PALVIS_ROW (1),  PALVIS_ROW (2),  PALVIS_ROW (3),  PALVIS_ROW (4),  PALVIS_ROW (5),
    PALVIS_ROW (6),  PALVIS_ROW (7),  PALVIS_ROW (8),  PALVIS_ROW (9),  PALVIS_ROW (10), PALVIS_ROW (11),
    PALVIS_ROW (12), PALVIS_ROW (13), PALVIS_ROW (14), PALVIS_ROW (15),
#undef PALVIS_ROW
#undef PALVIS_LANE
};

struct Avx2
{
	using Vec = __m256d;
	using Mask = __m256d;
	static constexpr int kRegisters = 16;
	static constexpr int kLanes = 4;

	static inline Vec load (const double* p) { return _mm256_load_pd (p); }
	static inline void store (double* p, Vec v) { _mm256_store_pd (p, v); }
	static inline Vec loadu (const double* p) { return _mm256_loadu_pd (p); }
	static inline void storeu (double* p, Vec v) { _mm256_storeu_pd (p, v); }
	static inline Vec set1 (double x) { return _mm256_set1_pd (x); }
	static inline Vec add (Vec a, Vec b) { return _mm256_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm256_sub_pd (a, b); }
	static inline Vec mul (Vec a, Vec b) { return _mm256_mul_pd (a, b); }
	// [pair, y low half]
	static inline Vec first (Vec y, __m128d pair)
	{
		return _mm256_permute2f128_pd (y, _mm256_castpd128_pd256 (pair), 0x02);
	}
	static inline Mask mask (uint32 bits, int v)
	{
		return _mm256_load_pd (reinterpret_cast<const double*> (kAvx2Masks[(bits >> (4 * v)) & 15]));
	}
	static inline Vec blend (Mask m, Vec a, Vec b) { return _mm256_blendv_pd (a, b, m); }
	template <int O>
	static inline __m128d pairAt (Vec y)
	{
		return O == 0 ? _mm256_castpd256_pd128 (y) : _mm256_extractf128_pd (y, 1);
	}

	static inline Vec loadInput (const double* p) { return _mm256_loadu_pd (p); }
	static inline Vec loadInput (const float* p) { return _mm256_cvtps_pd (_mm_loadu_ps (p)); }
	static inline Vec finiteOrZero (Vec x)
	{
		return _mm256_and_pd (x, _mm256_cmp_pd (_mm256_sub_pd (x, x), _mm256_setzero_pd (), _CMP_EQ_OQ));
	}
	static inline void storeOutput (double* p, Vec x) { _mm256_storeu_pd (p, finiteOrZero (x)); }
	static inline void storeOutput (float* p, Vec x)
	{
		const __m128 f = _mm256_cvtpd_ps (x);
		const __m128 ok = _mm_cmp_ps (_mm_sub_ps (f, f), _mm_setzero_ps (), _CMP_EQ_OQ);
		_mm_storeu_ps (p, _mm_and_ps (f, ok));
	}

	template <typename T>
	struct Of;
};

template <>
struct Avx2::Of<double>
{
	using Vec = __m256d;
	static constexpr int kLanes = 4;
	static inline Vec zero () { return _mm256_setzero_pd (); }
	static inline Vec loadu (const double* p) { return _mm256_loadu_pd (p); }
	static inline Vec add (Vec a, Vec b) { return _mm256_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm256_sub_pd (a, b); }
	static inline bool anyNaN (Vec a) { return _mm256_movemask_pd (_mm256_cmp_pd (a, a, _CMP_UNORD_Q)) != 0; }
};

template <>
struct Avx2::Of<float>
{
	using Vec = __m256;
	static constexpr int kLanes = 8;
	static inline Vec zero () { return _mm256_setzero_ps (); }
	static inline Vec loadu (const float* p) { return _mm256_loadu_ps (p); }
	static inline Vec add (Vec a, Vec b) { return _mm256_add_ps (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm256_sub_ps (a, b); }
	static inline bool anyNaN (Vec a) { return _mm256_movemask_ps (_mm256_cmp_ps (a, a, _CMP_UNORD_Q)) != 0; }
};

#include "eqkernel.inc"

} // namespace

const KernelSet& kernelsAvx2 ()
{
	return kernelSet<Avx2> ();
}

} // namespace Eq
} // namespace Vst
} // namespace Steinberg

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
