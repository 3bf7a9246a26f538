// Skewed-pipeline kernel for AVX2: four lanes, two bands of both channels per vector.
#include "eqkernel.h"

#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

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
	static constexpr int kLanes = 4;

	static inline Vec load (const double* p) { return _mm256_load_pd (p); }
	static inline void store (double* p, Vec v) { _mm256_store_pd (p, v); }
	static inline Vec set1 (double x) { return _mm256_set1_pd (x); }
	static inline Vec add (Vec a, Vec b) { return _mm256_add_pd (a, b); }
	static inline Vec sub (Vec a, Vec b) { return _mm256_sub_pd (a, b); }
	static inline Vec mul (Vec a, Vec b) { return _mm256_mul_pd (a, b); }
	// [pair, y0 low half]
	static inline Vec first (Vec y0, __m128d pair)
	{
		return _mm256_permute2f128_pd (y0, _mm256_castpd128_pd256 (pair), 0x02);
	}
	// [prev high half, y low half]
	static inline Vec next (Vec y, Vec prev) { return _mm256_permute2f128_pd (y, prev, 0x03); }
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
};

#include "eqkernel.inc"

} // namespace

void runKernelAvx2 (const KernelArgs& args)
{
	runKernel<Avx2> (args);
}

void clearNonFiniteAvx2 (double* x, int32 n)
{
	__m256d acc0 = _mm256_setzero_pd (), acc1 = _mm256_setzero_pd ();
	int32 j = 0;
	for (; j + 8 <= n; j += 8)
	{
		const __m256d u = _mm256_loadu_pd (x + j), v = _mm256_loadu_pd (x + j + 4);
		acc0 = _mm256_add_pd (acc0, _mm256_sub_pd (u, u));
		acc1 = _mm256_add_pd (acc1, _mm256_sub_pd (v, v));
	}
	const __m256d acc = _mm256_add_pd (acc0, acc1);
	bool bad = _mm256_movemask_pd (_mm256_cmp_pd (acc, acc, _CMP_UNORD_Q)) != 0;
	for (int32 k = j; k < n; ++k)
		bad |= !(x[k] - x[k] == 0.);
	if (!bad)
		return;
	for (int32 k = 0; k < n; ++k)
		if (!(x[k] - x[k] == 0.))
			x[k] = 0.;
}

void clearNonFiniteAvx2 (float* x, int32 n)
{
	__m256 acc0 = _mm256_setzero_ps (), acc1 = _mm256_setzero_ps ();
	int32 j = 0;
	for (; j + 16 <= n; j += 16)
	{
		const __m256 u = _mm256_loadu_ps (x + j), v = _mm256_loadu_ps (x + j + 8);
		acc0 = _mm256_add_ps (acc0, _mm256_sub_ps (u, u));
		acc1 = _mm256_add_ps (acc1, _mm256_sub_ps (v, v));
	}
	const __m256 acc = _mm256_add_ps (acc0, acc1);
	bool bad = _mm256_movemask_ps (_mm256_cmp_ps (acc, acc, _CMP_UNORD_Q)) != 0;
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
