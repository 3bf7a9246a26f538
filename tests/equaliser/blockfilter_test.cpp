// Block filtering and output level, on the scalar reference and on the
// fastest path of this CPU: the smoother's step response, block splitting,
// in-place buffers, unity gain, unflagged silence, frozen bands, empty blocks.
#include "eqfixture.h"

#include <cmath>
#include <limits>

namespace EqTest {
namespace {

std::vector<EqPath> pathsUnderTest ()
{
	return {EqPath::kReference, Eq::bestPath ()};
}

template <typename T>
Stereo<T> constant (int32 n, T value)
{
	Stereo<T> s (n);
	std::fill (s.left.begin (), s.left.end (), value);
	std::fill (s.right.begin (), s.right.end (), value);
	return s;
}

// Runs `total` samples of `in` through p in blocks of `block` samples.
template <typename T>
Stereo<T> runInBlocks (PlugProcessor& p, Stereo<T>& in, int32 block)
{
	Stereo<T> out (in.size ());
	for (int32 done = 0; done < in.size (); done += block)
	{
		const int32 n = std::min (block, in.size () - done);
		T* i[2] = {in.left.data () + done, in.right.data () + done};
		T* o[2] = {out.left.data () + done, out.right.data () + done};
		if (sizeof (T) == 4)
			p.processAudio32 (reinterpret_cast<Sample32**> (i), reinterpret_cast<Sample32**> (o), n);
		else
			p.processAudio64 (reinterpret_cast<Sample64**> (i), reinterpret_cast<Sample64**> (o), n);
	}
	return out;
}

TEST (OutputLevel, StepCovers8892PercentIn50MillisecondsWhateverTheBlockSize)
{
	for (EqPath path : pathsUnderTest ())
	{
		std::vector<double> levels;
		for (int32 block : {1, 7, 64, 441, 2205})
		{
			Equaliser eq (44100., 4096, path);
			const double from = eq->levelTarget; // level 0.75: 0 dB
			eq.setLevel (1.);                   // +12 dB
			const double to = eq->levelTarget;
			Stereo<double> in = constant<double> (2205, 1.);
			Stereo<double> out = runInBlocks (*eq, in, block);

			// The output follows the smoothed level: rising, never past the target.
			for (int32 j = 1; j < 2205; ++j)
			{
				ASSERT_GT (out.left[static_cast<size_t> (j)], out.left[static_cast<size_t> (j - 1)]) << j;
				ASSERT_LT (out.left[static_cast<size_t> (j)], to) << j;
			}
			EXPECT_NEAR ((eq->smoothedLevel - from) / (to - from), 1. - std::exp (-2.2), 1e-4) << block;
			EXPECT_NEAR ((eq->smoothedLevel - from) / (to - from), 0.8892, 1e-4) << block;
			EXPECT_TRUE (sameBits (out.left[2204], eq->smoothedLevel));
			levels.push_back (eq->smoothedLevel);
		}
		for (double level : levels)
			EXPECT_TRUE (sameBits (level, levels[0])) << Eq::pathName (path);
	}
}

template <typename T>
void twoHalvesEqualTheWhole (EqPath path, int32 n)
{
	Equaliser whole (48000., 4096, path), halves (48000., 4096, path);
	for (Equaliser* eq : {&whole, &halves})
	{
		for (int band = 0; band < kNumBands; ++band)
			(*eq)->params.bands[band] = band % 3 ? 0.2 + 0.04 * band : 0.9;
		(*eq)->params.level = 0.6; // the smoother ramps through both halves
		(*eq)->updateFilters (false);
	}
	Stereo<T> in = noise<T> (2 * n, 3);
	Stereo<T> a = runInBlocks (*whole, in, 2 * n);
	Stereo<T> b = runInBlocks (*halves, in, n);
	EXPECT_TRUE (sameBits (a.left, b.left)) << n;
	EXPECT_TRUE (sameBits (a.right, b.right)) << n;
	EXPECT_TRUE (sameBits (whole->stateZ1, halves->stateZ1, sizeof (whole->stateZ1)));
	EXPECT_TRUE (sameBits (whole->stateZ2, halves->stateZ2, sizeof (whole->stateZ2)));
	EXPECT_TRUE (sameBits (whole->smoothedLevel, halves->smoothedLevel));
}

TEST (BlockFiltering, TwoBlocksOfNEqualOneBlockOf2N)
{
	for (EqPath path : pathsUnderTest ())
		for (int32 n : {1, 2, 17, 256, 2048})
		{
			twoHalvesEqualTheWhole<float> (path, n);
			twoHalvesEqualTheWhole<double> (path, n);
		}
}

TEST (BlockFiltering, InPlaceEqualsSeparateBuffers)
{
	for (EqPath path : pathsUnderTest ())
	{
		Equaliser separate (48000., 4096, path), inPlace (48000., 4096, path);
		for (Equaliser* eq : {&separate, &inPlace})
		{
			eq->setBand (2, 0.9);
			eq->setBand (12, 0.1);
		}
		for (int32 n : {1, 33, 512, 4096})
		{
			Stereo<float> in = noise<float> (n, static_cast<uint32_t> (n));
			Stereo<float> out = run (*separate, in);
			Stereo<float> buffer = in;
			inPlace->processAudio32 (buffer.ptr (), buffer.ptr (), n);
			EXPECT_TRUE (sameBits (out.left, buffer.left)) << n;
			EXPECT_TRUE (sameBits (out.right, buffer.right)) << n;
		}
		// Left output on the right input's memory and the other way round.
		Stereo<double> in = noise<double> (300, 8);
		Stereo<double> expected = run (*separate, in);
		Stereo<double> crossed = in;
		double* inputs[2] = {crossed.left.data (), crossed.right.data ()};
		double* outputs[2] = {crossed.right.data (), crossed.left.data ()};
		inPlace->processAudio64 (inputs, outputs, 300);
		EXPECT_TRUE (sameBits (expected.left, crossed.right));
		EXPECT_TRUE (sameBits (expected.right, crossed.left));
	}
}

TEST (BlockFiltering, FlatAtZeroDecibelsKeepsTheSignal)
{
	for (EqPath path : pathsUnderTest ())
	{
		Equaliser eq (48000., 4096, path);
		ASSERT_TRUE (sameBits (eq->levelTarget, 1.0000000000000004));
		Stereo<float> in32 = noise<float> (4096, 1, 1.);
		in32.left[5] = std::numeric_limits<float>::denorm_min ();
		in32.right[6] = std::numeric_limits<float>::max ();
		Stereo<float> out32 = run (*eq, in32);
		EXPECT_TRUE (sameBits (in32.left, out32.left)) << Eq::pathName (path);
		EXPECT_TRUE (sameBits (in32.right, out32.right)) << Eq::pathName (path);

		Stereo<double> in64 = noise<double> (4096, 2, 1.);
		Stereo<double> out64 = run (*eq, in64);
		for (size_t j = 0; j < in64.left.size (); ++j)
		{
			// The target is one unit in the last place above 1.
			EXPECT_TRUE (sameBits (out64.left[j], in64.left[j] * 1.0000000000000004)) << j;
			EXPECT_NEAR (out64.left[j], in64.left[j], 4 * std::abs (in64.left[j]) * 2.3e-16) << j;
		}
	}
}

TEST (BlockFiltering, UnflaggedSilenceSettlesNearTheOffsetPerBand)
{
	for (EqPath path : pathsUnderTest ())
		for (int bands : {1, 5, 15})
		{
			Equaliser eq (48000., 4096, path);
			for (int band = 0; band < bands; ++band)
				eq->params.bands[band] = band % 2 ? 0.1 : 0.95;
			eq->params.level = 1.; // the settled output carries the level
			eq->updateFilters (true);
			Stereo<double> zeros (4096);
			Stereo<double> out (4096);
			for (int b = 0; b < 40; ++b) // a bit over three seconds
				out = run (*eq, zeros);
			const double expected = bands * 1e-18 * eq->smoothedLevel;
			EXPECT_NEAR (out.left.back (), expected, expected * 1e-3) << bands << " " << Eq::pathName (path);
			EXPECT_NEAR (out.right.back (), expected, expected * 1e-3) << bands << " " << Eq::pathName (path);
			EXPECT_NE (out.left.back (), 0.);
		}
}

TEST (BlockFiltering, EmptyBlockChangesNothing)
{
	for (EqPath path : pathsUnderTest ())
	{
		Equaliser eq (48000., 64, path);
		eq.setBand (4, 0.8);
		eq.setLevel (0.9);
		Stereo<float> in = noise<float> (64, 4);
		run (*eq, in);
		double z1[30], z2[30], left[64], right[64];
		std::memcpy (z1, eq->stateZ1, sizeof (z1));
		std::memcpy (z2, eq->stateZ2, sizeof (z2));
		std::memcpy (left, eq->workBufferLeft, sizeof (left));
		std::memcpy (right, eq->workBufferRight, sizeof (right));
		const double level = eq->smoothedLevel;

		Stereo<float> out = constant<float> (64, 7.f);
		for (int32 n : {0, -1, -4096})
		{
			eq->processAudio32 (in.ptr (), out.ptr (), n);
			Stereo<double> out64 = constant<double> (64, 7.);
			Stereo<double> in64 = noise<double> (64, 9);
			eq->processAudio64 (in64.ptr (), out64.ptr (), n);
			EXPECT_EQ (out64.left[0], 7.);
		}
		EXPECT_EQ (out.left[0], 7.f);
		EXPECT_EQ (out.right[63], 7.f);
		EXPECT_TRUE (sameBits (eq->stateZ1, z1, sizeof (z1)));
		EXPECT_TRUE (sameBits (eq->stateZ2, z2, sizeof (z2)));
		EXPECT_TRUE (sameBits (eq->workBufferLeft, left, sizeof (left)));
		EXPECT_TRUE (sameBits (eq->workBufferRight, right, sizeof (right)));
		EXPECT_TRUE (sameBits (eq->smoothedLevel, level));
	}
}

TEST (BlockFiltering, BothChannelsOfABandFilterAlike)
{
	for (EqPath path : pathsUnderTest ())
	{
		Equaliser eq (44100., 4096, path);
		for (int band = 0; band < kNumBands; band += 2)
			eq->params.bands[band] = 0.15 + 0.05 * band;
		eq->updateFilters (false);
		Stereo<double> in = noise<double> (3000, 12);
		in.right = in.left;
		Stereo<double> out = run (*eq, in);
		EXPECT_TRUE (sameBits (out.left, out.right));
		for (int band = 0; band < kNumBands; ++band)
		{
			EXPECT_TRUE (sameBits (eq->stateZ1[band], eq->stateZ1[band + kNumBands])) << band;
			EXPECT_TRUE (sameBits (eq->stateZ2[band], eq->stateZ2[band + kNumBands])) << band;
		}
	}
}

TEST (BlockFiltering, BandAtZeroDecibelsKeepsItsMemoriesFrozen)
{
	for (EqPath path : pathsUnderTest ())
	{
		Equaliser eq (48000., 4096, path);
		constexpr int kBand = 6;
		eq.setBand (kBand, 0.8);
		eq.setBand (10, 0.3);
		Stereo<double> in = noise<double> (1000, 21);
		run (*eq, in);
		const double z1 = eq->stateZ1[kBand], z2 = eq->stateZ2[kBand];
		const double z1r = eq->stateZ1[kBand + kNumBands], z2r = eq->stateZ2[kBand + kNumBands];
		ASSERT_NE (z1, 0.);

		eq.setBand (kBand, 0.5);
		EXPECT_FALSE (Eq::filterRuns (*eq, kBand));
		EXPECT_FALSE (Eq::filterRuns (*eq, kBand + kNumBands));
		for (int b = 0; b < 3; ++b)
			run (*eq, in);
		EXPECT_TRUE (sameBits (eq->stateZ1[kBand], z1));
		EXPECT_TRUE (sameBits (eq->stateZ2[kBand], z2));
		EXPECT_TRUE (sameBits (eq->stateZ1[kBand + kNumBands], z1r));
		EXPECT_TRUE (sameBits (eq->stateZ2[kBand + kNumBands], z2r));

		// Back on: the filter resumes from the frozen memories with its new design.
		eq.setBand (kBand, 0.1);
		eq.setBand (10, 0.5); // band 6 alone, so its input is the block's input
		Stereo<double> one (1);
		one.left[0] = 0.25;
		one.right[0] = -0.5;
		run (*eq, one);
		const int k = kBand;
		const double expectedLeft = (0.25 + 1e-18) - (eq->coefA1[k] * z1 + eq->coefA2[k] * z2);
		const double expectedRight = (-0.5 + 1e-18) - (eq->coefA1[k] * z1r + eq->coefA2[k] * z2r);
		EXPECT_TRUE (sameBits (eq->stateZ1[k], expectedLeft)) << Eq::pathName (path);
		EXPECT_TRUE (sameBits (eq->stateZ2[k], z1));
		EXPECT_TRUE (sameBits (eq->stateZ1[k + kNumBands], expectedRight));
	}
}

// The host promises at most maxSamplesPerBlock samples and an active processor.
TEST (BlockFiltering, BrokenHostPromisesStayInBounds)
{
	Equaliser small (48000., 64, Eq::bestPath ()), large (48000., 4096, Eq::bestPath ());
	for (Equaliser* eq : {&small, &large})
		eq->setBand (9, 0.85);
	Stereo<float> in = noise<float> (1000, 5);
	Stereo<float> a = run (*small, in); // longer than its work buffers: done in pieces
	Stereo<float> b = run (*large, in);
	EXPECT_TRUE (sameBits (a.left, b.left));
	EXPECT_TRUE (sameBits (a.right, b.right));

	small->setActive (false); // no work buffers: silence
	Stereo<float> out = constant<float> (32, 3.f);
	small->processAudio32 (in.ptr (), out.ptr (), 32);
	for (float x : out.left)
		EXPECT_EQ (x, 0.f);
	small->setActive (true);
}

// A set-up received while active (or one beyond the buffers' cap) raises
// maxSamplesPerBlock past the work buffers' length; blocks of the new length
// must still run in pieces of the buffers' length.
TEST (BlockFiltering, BlocksLongerThanTheWorkBuffersRunInPiecesWhateverTheSetUpSays)
{
	Equaliser small (48000., 64, Eq::bestPath ()), reference (48000., 4096, Eq::bestPath ());
	ProcessSetup setup {kRealtime, kSample32, 4096, 48000.};
	small->setupProcessing (setup); // refused while active, but the block size is taken
	ASSERT_EQ (small->maxSamplesPerBlock, 4096);
	ASSERT_EQ (small->getWorkBufferSize (), 64);
	for (Equaliser* eq : {&small, &reference})
		eq->setBand (3, 0.9);
	Stereo<float> in = noise<float> (4096, 8);
	Stereo<double> in64 = noise<double> (4096, 8);
	Stereo<float> a = run (*small, in);
	Stereo<float> b = run (*reference, in);
	EXPECT_TRUE (sameBits (a.left, b.left));
	EXPECT_TRUE (sameBits (a.right, b.right));
	Stereo<double> a64 = run (*small, in64);
	Stereo<double> b64 = run (*reference, in64);
	EXPECT_TRUE (sameBits (a64.left, b64.left));
	EXPECT_TRUE (sameBits (a64.right, b64.right));
}

} // namespace
} // namespace EqTest
