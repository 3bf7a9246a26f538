// The host library's own objects: what a plug-in meets when it talks to the host.

#include "hostlib/audiofile.h"
#include "hostlib/componenthandler.h"
#include "hostlib/hostapplication.h"
#include "hostlib/memorystream.h"
#include "hostlib/parameterchanges.h"
#include "hostlib/strings.h"

#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include "runprogram.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vsthost;

namespace {

TEST (MemoryStream, ReadsWritesSeeksAndReportsSize)
{
	auto stream = MemoryStream::create ();
	char text[] = "abcdef";
	int32 written = -1;
	EXPECT_EQ (stream->write (text, 6, &written), kResultOk);
	EXPECT_EQ (written, 6);
	int64 pos = -1;
	EXPECT_EQ (stream->tell (&pos), kResultOk);
	EXPECT_EQ (pos, 6);

	EXPECT_EQ (stream->seek (2, IBStream::kIBSeekSet, &pos), kResultOk);
	EXPECT_EQ (pos, 2);
	char buffer[8] = {};
	int32 read = -1;
	EXPECT_EQ (stream->read (buffer, 3, &read), kResultOk);
	EXPECT_EQ (read, 3);
	EXPECT_EQ (std::string (buffer, 3), "cde");

	// Reading past the end gives what is there and says how much.
	EXPECT_EQ (stream->read (buffer, 8, &read), kResultOk);
	EXPECT_EQ (read, 1);
	EXPECT_EQ (stream->read (buffer, 8, &read), kResultOk);
	EXPECT_EQ (read, 0);

	EXPECT_EQ (stream->seek (-2, IBStream::kIBSeekEnd, &pos), kResultOk);
	EXPECT_EQ (pos, 4);
	EXPECT_EQ (stream->seek (-5, IBStream::kIBSeekCur, &pos), kInvalidArgument);
	EXPECT_EQ (stream->seek (0, 7, nullptr), kInvalidArgument);

	// A write beyond the end fills the gap with zeros.
	EXPECT_EQ (stream->seek (8, IBStream::kIBSeekSet, nullptr), kResultOk);
	EXPECT_EQ (stream->write (text, 1, nullptr), kResultOk);
	int64 size = 0;
	EXPECT_EQ (stream->getStreamSize (size), kResultOk);
	EXPECT_EQ (size, 9);
	EXPECT_EQ (stream->getData ()[6], 0);
	EXPECT_EQ (stream->getData ()[8], 'a');

	EXPECT_EQ (stream->setStreamSize (3), kResultOk);
	EXPECT_EQ (stream->getData ().size (), 3u);
	EXPECT_EQ (stream->read (buffer, -1, &read), kInvalidArgument);
}

TEST (MemoryStream, ReadOnlyModeAndWriteLimitRefuseWrites)
{
	auto readOnly = MemoryStream::create ({1, 2, 3}, MemoryStream::Mode::ReadOnly);
	char byte = 9;
	int32 written = -1;
	EXPECT_EQ (readOnly->write (&byte, 1, &written), kResultFalse);
	EXPECT_EQ (written, 0);
	EXPECT_EQ (readOnly->setStreamSize (10), kResultFalse);
	EXPECT_EQ (readOnly->getData (), (std::vector<uint8> {1, 2, 3}));
	EXPECT_EQ (readOnly->getRefusedWrites (), 1);
	char buffer[3];
	int32 read = 0;
	EXPECT_EQ (readOnly->read (buffer, 3, &read), kResultOk);
	EXPECT_EQ (read, 3);

	auto limited = MemoryStream::create ();
	limited->setWriteLimit (10);
	char eight[8] = {};
	EXPECT_EQ (limited->write (eight, 8, &written), kResultOk);
	EXPECT_EQ (limited->write (eight, 4, &written), kResultFalse);
	EXPECT_EQ (written, 0);
	EXPECT_EQ (limited->getData ().size (), 8u);
	EXPECT_EQ (limited->write (eight, 2, &written), kResultOk);
	EXPECT_EQ (limited->getData ().size (), 10u);
}

TEST (MemoryStream, AnswersBothStreamInterfacesAndNothingElse)
{
	auto stream = MemoryStream::create ();
	void* obj = nullptr;
	ASSERT_EQ (stream->queryInterface (ISizeableStream::iid, &obj), kResultOk);
	EXPECT_EQ (stream->getRefCount (), 2u);
	static_cast<ISizeableStream*> (obj)->release ();
	ASSERT_EQ (stream->queryInterface (FUnknown::iid, &obj), kResultOk);
	EXPECT_EQ (obj, static_cast<IBStream*> (stream.get ()));
	static_cast<FUnknown*> (obj)->release ();
	obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (stream->queryInterface (IParameterChanges::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	EXPECT_EQ (stream->queryInterface (IBStream::iid, nullptr), kInvalidArgument);
	EXPECT_EQ (stream->getRefCount (), 1u);
}

TEST (ParameterChanges, OneQueuePerParameterWithSortedPoints)
{
	auto changes = ParameterChanges::create ();
	int32 index = -1;
	IParamValueQueue* level = changes->addParameterData (1, index);
	ASSERT_NE (level, nullptr);
	EXPECT_EQ (index, 0);
	IParamValueQueue* band = changes->addParameterData (7, index);
	EXPECT_EQ (index, 1);
	EXPECT_EQ (changes->addParameterData (1, index), level);
	EXPECT_EQ (index, 0);
	EXPECT_EQ (changes->getParameterCount (), 2);
	EXPECT_EQ (changes->getParameterData (1), band);
	EXPECT_EQ (changes->getParameterData (2), nullptr);
	EXPECT_EQ (changes->getParameterData (-1), nullptr);

	int32 pointIndex = -1;
	EXPECT_EQ (level->addPoint (100, 0.3, pointIndex), kResultOk);
	EXPECT_EQ (level->addPoint (10, 0.1, pointIndex), kResultOk);
	EXPECT_EQ (pointIndex, 0);
	EXPECT_EQ (level->addPoint (100, 0.4, pointIndex), kResultOk); // same offset: replaced
	EXPECT_EQ (pointIndex, 1);
	EXPECT_EQ (level->addPoint (-1, 0.4, pointIndex), kInvalidArgument);
	ASSERT_EQ (level->getPointCount (), 2);
	int32 offset = 0;
	ParamValue value = 0;
	EXPECT_EQ (level->getPoint (1, offset, value), kResultOk);
	EXPECT_EQ (offset, 100);
	EXPECT_EQ (value, 0.4);
	EXPECT_EQ (level->getPoint (2, offset, value), kResultFalse);
	EXPECT_EQ (level->getParameterId (), 1u);

	ParamValue last = 0;
	EXPECT_TRUE (changes->getLastValue (1, last));
	EXPECT_EQ (last, 0.4);
	EXPECT_FALSE (changes->getLastValue (7, last)); // queue without points
	EXPECT_FALSE (changes->getLastValue (3, last));
}

TEST (HostAttributeList, StoresTypedValues)
{
	auto list = HostAttributeList::create ();
	EXPECT_EQ (list->setInt ("n", -5), kResultOk);
	EXPECT_EQ (list->setFloat ("f", 0.25), kResultOk);
	EXPECT_EQ (list->setString ("s", u"Palvis"), kResultOk);
	const uint8 blob[] = {0, 1, 2, 255};
	EXPECT_EQ (list->setBinary ("b", blob, sizeof (blob)), kResultOk);

	int64 n = 0;
	EXPECT_EQ (list->getInt ("n", n), kResultOk);
	EXPECT_EQ (n, -5);
	double f = 0;
	EXPECT_EQ (list->getFloat ("f", f), kResultOk);
	EXPECT_EQ (f, 0.25);
	EXPECT_EQ (list->getFloat ("n", f), kResultFalse); // wrong type
	EXPECT_EQ (list->getInt ("missing", n), kResultFalse);

	TChar text[16];
	EXPECT_EQ (list->getString ("s", text, sizeof (text)), kResultOk);
	EXPECT_EQ (std::u16string (text), u"Palvis");
	TChar small[4]; // room for three units and the zero
	EXPECT_EQ (list->getString ("s", small, sizeof (small)), kResultOk);
	EXPECT_EQ (std::u16string (small), u"Pal");

	const void* data = nullptr;
	uint32 size = 0;
	EXPECT_EQ (list->getBinary ("b", data, size), kResultOk);
	ASSERT_EQ (size, sizeof (blob));
	EXPECT_EQ (std::memcmp (data, blob, size), 0);

	EXPECT_EQ (list->setInt ("b", 3), kResultOk); // replaces the binary
	EXPECT_EQ (list->getBinary ("b", data, size), kResultFalse);
	EXPECT_EQ (list->setInt (nullptr, 1), kInvalidArgument);
	EXPECT_EQ (list->size (), 4u);
}

TEST (HostApplication, NameMessagesAttributeListsAndExtensions)
{
	const int32 liveBefore = liveHostObjects ();
	{
		auto host = HostApplication::create ("Test Host");
		String128 name {};
		EXPECT_EQ (host->getName (name), kResultOk);
		EXPECT_EQ (toUtf8 (name), "Test Host");

		TUID messageCid, messageIid, listCid, unknownCid {};
		std::memcpy (messageCid, IMessage::iid.toTUID (), 16);
		std::memcpy (messageIid, IMessage::iid.toTUID (), 16);
		std::memcpy (listCid, IAttributeList::iid.toTUID (), 16);
		void* obj = nullptr;
		ASSERT_EQ (host->createInstance (messageCid, messageIid, &obj), kResultOk);
		auto message = owned (static_cast<IMessage*> (obj));
		EXPECT_EQ (message->getMessageID (), nullptr);
		message->setMessageID ("hello");
		EXPECT_STREQ (message->getMessageID (), "hello");
		ASSERT_NE (message->getAttributes (), nullptr);
		EXPECT_EQ (message->getAttributes ()->setInt ("x", 1), kResultOk);
		EXPECT_EQ (host->getCreatedMessages (), 1);

		TUID listIid;
		std::memcpy (listIid, IAttributeList::iid.toTUID (), 16);
		ASSERT_EQ (host->createInstance (listCid, listIid, &obj), kResultOk);
		static_cast<IAttributeList*> (obj)->release ();

		obj = reinterpret_cast<void*> (1);
		EXPECT_EQ (host->createInstance (unknownCid, messageIid, &obj), kResultFalse);
		EXPECT_EQ (obj, nullptr);

		EXPECT_EQ (host->isPlugInterfaceSupported (IEditController::iid), kResultTrue);
		EXPECT_EQ (host->isPlugInterfaceSupported (IMessage::iid), kResultFalse);

		// An extension is found through the context's queryInterface.
		auto extra = MemoryStream::create ();
		host->addExtension (IBStream::iid, extra->unknown ());
		ASSERT_EQ (host->queryInterface (IBStream::iid, &obj), kResultOk);
		EXPECT_EQ (obj, static_cast<IBStream*> (extra.get ()));
		static_cast<IBStream*> (obj)->release ();
		EXPECT_EQ (host->queryInterface (IComponentHandler::iid, &obj), kNoInterface);
		host->removeExtensions ();
		EXPECT_EQ (extra->getRefCount (), 1u);
	}
	EXPECT_EQ (liveHostObjects (), liveBefore);
}

TEST (ComponentHandler, RecordsCallsInOrderAndForwardsPerformedEdits)
{
	auto handler = ComponentHandler::create ();
	void* obj = nullptr;
	ASSERT_EQ (handler->queryInterface (IComponentHandler2::iid, &obj), kResultOk);
	auto handler2 = owned (static_cast<IComponentHandler2*> (obj));

	handler2->startGroupEdit ();
	handler->beginEdit (3);
	handler->performEdit (3, 0.25);
	handler->performEdit (3, 0.5);
	handler->endEdit (3);
	handler2->finishGroupEdit ();
	handler->restartComponent (kParamValuesChanged);
	handler2->setDirty (1);

	auto events = handler->getEvents ();
	ASSERT_EQ (events.size (), 8u);
	using T = ComponentHandler::EventType;
	const T expected[] = {T::StartGroupEdit, T::BeginEdit, T::PerformEdit,      T::PerformEdit,
	                      T::EndEdit,        T::FinishGroupEdit, T::RestartComponent, T::SetDirty};
	for (size_t i = 0; i < events.size (); ++i)
		EXPECT_EQ (events[i].type, expected[i]) << "event " << i << " is " << eventTypeName (events[i].type);
	EXPECT_EQ (events[2].value, 0.25);
	EXPECT_EQ (events[6].flags, kParamValuesChanged);
	EXPECT_EQ (events[7].flags, 1);

	auto edits = handler->takePendingEdits ();
	ASSERT_EQ (edits.size (), 2u);
	EXPECT_EQ (edits[1].id, 3u);
	EXPECT_EQ (edits[1].value, 0.5);
	EXPECT_TRUE (handler->takePendingEdits ().empty ());

	handler->setForwardEdits (false);
	handler->performEdit (4, 1.0);
	EXPECT_TRUE (handler->takePendingEdits ().empty ());
	EXPECT_EQ (handler->getEvents ().size (), 9u);
}

TEST (Strings, Utf16AndNumbers)
{
	const char16_t withPair[] = {u'A', 0xD83D, 0xDE00, u'B', 0};
	EXPECT_EQ (toUtf8 (withPair), "A\xF0\x9F\x98\x80" "B");
	const char16_t lone[] = {0xDC00, u'x', 0};
	EXPECT_EQ (toUtf8 (lone), "\xEF\xBF\xBD" "x");
	EXPECT_EQ (toUtf16 ("1kHz \xC2\xB5\xF0\x9F\x98\x80"), (std::u16string {u'1', u'k', u'H', u'z', u' ', 0xB5, 0xD83D, 0xDE00}));
	EXPECT_EQ (toUtf8 (u"abcdef", 3), "abc");

	EXPECT_EQ (shortestDouble (0.75), "0.75");
	EXPECT_EQ (shortestDouble (0.1), "0.1");
	EXPECT_EQ (shortestDouble (1.0000000000000004), "1.0000000000000004");
	double v = 0;
	EXPECT_TRUE (parseDouble ("-12.5", v));
	EXPECT_EQ (v, -12.5);
	EXPECT_FALSE (parseDouble ("1x", v));
	EXPECT_FALSE (parseDouble (" 1", v));
	EXPECT_FALSE (parseDouble ("", v));
	EXPECT_FALSE (parseDouble ("1e999", v));

	TUID id;
	std::memcpy (id, IComponent::iid.toTUID (), 16);
	EXPECT_EQ (tuidToHex (id), "E831FF31F2D54301928EBBEE25697802");
	EXPECT_TRUE (equalsIgnoreCase ("LeVeL", "level"));
	EXPECT_FALSE (equalsIgnoreCase ("Level", "Levels"));
}

} // namespace

// Files: whole reads, replacement only on commit, sound files read as stereo.
namespace {

using testsupport::folderEntries;
using testsupport::TempDir;
namespace fs = std::filesystem;

std::string fileText (const std::string& path)
{
	return PalvisTest::readTextFile (path);
}

TEST (ReplacingFile, ReplacesItsTargetOnlyOnCommit)
{
	TempDir temp;
	const std::string target = temp.write ("t.bin", "old");
	const auto mode = fs::perms::owner_read | fs::perms::owner_write;
	fs::permissions (target, mode);
	std::string error;
	{
		ReplacingFile file;
		ASSERT_TRUE (file.create (target, error)) << error;
		ASSERT_TRUE (file.write ("new", 3, error)) << error;
		EXPECT_EQ (fileText (target), "old");
		EXPECT_EQ (folderEntries (temp.path ()).size (), 2u); // beside it, in the same folder
		ASSERT_TRUE (file.commit (error)) << error;
	}
	EXPECT_EQ (fileText (target), "new");
	EXPECT_EQ (fs::status (target).permissions (), mode);
	EXPECT_EQ (folderEntries (temp.path ()), (std::set<std::string> {"t.bin"}));

	// Not committed: the target stays and the temporary file goes.
	{
		ReplacingFile file;
		ASSERT_TRUE (file.create (target, error)) << error;
		ASSERT_TRUE (file.write ("lost", 4, error)) << error;
	}
	EXPECT_EQ (fileText (target), "new");
	EXPECT_EQ (folderEntries (temp.path ()), (std::set<std::string> {"t.bin"}));

	// Through a link, the file it names is replaced and the link stays.
	fs::create_directory (temp.file ("real"));
	const std::string real = temp.write ("real/r.bin", "old");
	fs::create_symlink ("real/r.bin", temp.file ("link.bin"));
	ASSERT_TRUE (writeBinaryFile (temp.file ("link.bin"), {'a', 'b'}, error)) << error;
	EXPECT_TRUE (fs::is_symlink (temp.file ("link.bin")));
	EXPECT_EQ (fileText (real), "ab");
	EXPECT_EQ (folderEntries (temp.file ("real")), (std::set<std::string> {"r.bin"}));

	// A file its owner made read-only stays so (the super-user may write anything).
	if (::geteuid () != 0)
	{
		fs::permissions (target, fs::perms::owner_read);
		EXPECT_FALSE (writeBinaryFile (target, {'x'}, error));
		EXPECT_EQ (error, "cannot write '" + target + "': Permission denied");
		EXPECT_EQ (fileText (target), "new");
	}

	// A new file.
	ASSERT_TRUE (writeBinaryFile (temp.file ("n.bin"), {}, error)) << error;
	EXPECT_TRUE (fs::is_regular_file (temp.file ("n.bin")));
	EXPECT_EQ (fs::file_size (temp.file ("n.bin")), 0u);
}

TEST (ReplacingFile, RefusesFoldersAndWritesPipesInPlace)
{
	TempDir temp;
	std::string error;
	ReplacingFile file;
	EXPECT_FALSE (file.create (temp.path (), error));
	EXPECT_EQ (error, "cannot write '" + temp.path () + "': Is a directory");
	EXPECT_FALSE (file.create (temp.file ("none/x.bin"), error));
	EXPECT_EQ (error, "cannot create a file in the folder of '" + temp.file ("none/x.bin") + "': No such file or directory");
	EXPECT_FALSE (file.commit (error));

	// A pipe (or a device) is not replaced by a file: it is written to.
	const std::string pipe = temp.file ("pipe");
	ASSERT_EQ (::mkfifo (pipe.c_str (), 0600), 0);
	int reader = ::open (pipe.c_str (), O_RDONLY | O_NONBLOCK);
	ASSERT_GE (reader, 0);
	ASSERT_TRUE (writeBinaryFile (pipe, {'x', 'y', 'z'}, error)) << error;
	char got[8] = {};
	EXPECT_EQ (::read (reader, got, sizeof (got)), 3);
	EXPECT_STREQ (got, "xyz");
	::close (reader);
	EXPECT_TRUE (fs::is_fifo (pipe));
	EXPECT_EQ (folderEntries (temp.path ()), (std::set<std::string> {"pipe"}));
}

TEST (BinaryFiles, FoldersAndMissingFilesGiveMessages)
{
	TempDir temp;
	std::vector<unsigned char> bytes {1};
	std::string error;
	EXPECT_FALSE (readBinaryFile (temp.path (), bytes, error));
	EXPECT_EQ (error, "cannot open '" + temp.path () + "': Is a directory");
	EXPECT_FALSE (readBinaryFile (temp.file ("none"), bytes, error));
	EXPECT_EQ (error, "cannot open '" + temp.file ("none") + "': No such file or directory");
	EXPECT_FALSE (writeBinaryFile (temp.path (), bytes, error));

	std::vector<unsigned char> large (200000);
	for (size_t i = 0; i < large.size (); ++i)
		large[i] = static_cast<unsigned char> (i * 7 + (i >> 9));
	ASSERT_TRUE (writeBinaryFile (temp.file ("large"), large, error)) << error;
	ASSERT_TRUE (readBinaryFile (temp.file ("large"), bytes, error)) << error;
	EXPECT_EQ (bytes, large);
}

TEST (OutputFormat, ChosenByTheExtension)
{
	struct Case
	{
		const char* path;
		bool doubleSamples;
		int format; // 0: refused
	} cases[] = {
	    {"a.wav", false, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
	    {"a.WAV", true, SF_FORMAT_WAV | SF_FORMAT_DOUBLE},
	    {"dir.flac/a", false, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
	    {"/dev/null", false, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
	    {"a.", false, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
	    {"x/a.b.flac", false, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
	    {"a.flac", true, 0},
	    {"a.aif", false, SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
	    {"a.aiff", true, SF_FORMAT_AIFF | SF_FORMAT_DOUBLE},
	    {"a.ogg", false, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
	    {"a.opus", false, SF_FORMAT_OGG | SF_FORMAT_OPUS},
	    {"a.mp3", false, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
	    {"a.mp3", true, 0},
	    {"a.rf64", true, SF_FORMAT_RF64 | SF_FORMAT_DOUBLE},
	    {"a.wave", false, 0},
	    {"a.png", false, 0},
	};
	for (auto& c : cases)
	{
		SCOPED_TRACE (c.path);
		OutputFormat format;
		std::string error;
		EXPECT_EQ (outputFormatForPath (c.path, c.doubleSamples, format, error), c.format != 0) << error;
		if (c.format)
			EXPECT_EQ (format.sfFormat, c.format);
		else
			EXPECT_FALSE (error.empty ());
	}
}

// WAV and AIFF files of random shapes, cut at random points: the reader gives the
// frames that are whole, as the first two channels (a mono one twice) in the
// sample size asked for, and the frames the header promised.
TEST (SoundFileReader, CutFilesGiveTheirWholeFramesAndThePromisedCount)
{
	std::mt19937 random (20240611);
	TempDir temp;
	const int majors[] = {SF_FORMAT_WAV, SF_FORMAT_AIFF};
	const int subtypes[] = {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE};
	const size_t sampleBytes[] = {2, 3, 4, 8};
	for (int round = 0; round < 60; ++round)
	{
		const int major = majors[random () % 2];
		const size_t subtype = random () % 4;
		const auto channels = static_cast<size_t> (1 + random () % 3);
		const size_t frames = 1 + random () % 5000;
		SCOPED_TRACE ("round " + std::to_string (round) + ": " + std::to_string (frames) + " frames of " +
		              std::to_string (channels) + " channels");
		const std::string path = temp.file ("whole");
		SF_INFO info {};
		info.samplerate = 44100;
		info.channels = static_cast<int> (channels);
		info.format = major | subtypes[subtype];
		SNDFILE* file = sf_open (path.c_str (), SFM_WRITE, &info);
		ASSERT_NE (file, nullptr);
		std::uniform_real_distribution<double> sample (-0.9, 0.9);
		std::vector<double> samples (frames * channels);
		for (auto& s : samples)
			s = sample (random);
		ASSERT_EQ (sf_writef_double (file, samples.data (), static_cast<sf_count_t> (frames)),
		           static_cast<sf_count_t> (frames));
		sf_close (file);
		AudioBuffer whole;
		std::string error;
		ASSERT_TRUE (readAudioFile (path, whole, error)) << error;

		const std::string bytes = fileText (path);
		const size_t frameBytes = channels * sampleBytes[subtype];
		const size_t data = frames * frameBytes;
		const size_t header = bytes.size () - data - (data & 1); // chunks are padded to even sizes
		const size_t cut = header + random () % (bytes.size () - header + 1);
		const std::string cutPath = temp.write ("cut", bytes.substr (0, cut));
		SoundFileReader reader;
		ASSERT_TRUE (reader.open (cutPath, error)) << error;
		EXPECT_EQ (reader.promisedFrames (), frames);
		EXPECT_EQ (reader.channelCount (), channels);
		const size_t held = (cut - header) / frameBytes;
		const bool asDouble = random () % 2;
		std::vector<double> left, right;
		for (;;)
		{
			const size_t ask = 1 + random () % 700;
			std::vector<float> l32 (ask), r32 (ask);
			std::vector<double> l64 (ask), r64 (ask);
			size_t got = 0;
			ASSERT_TRUE (asDouble ? reader.readStereo (l64.data (), r64.data (), ask, got, error)
			                      : reader.readStereo (l32.data (), r32.data (), ask, got, error))
			    << error;
			for (size_t i = 0; i < got; ++i)
			{
				left.push_back (asDouble ? l64[i] : l32[i]);
				right.push_back (asDouble ? r64[i] : r32[i]);
			}
			if (got < ask)
				break;
		}
		EXPECT_EQ (reader.framesRead (), held);
		ASSERT_EQ (left.size (), held);
		const size_t second = channels > 1 ? 1 : 0;
		for (size_t i = 0; i < held; ++i)
		{
			const double wantLeft = whole.channels[0][i];
			const double wantRight = whole.channels[second][i];
			ASSERT_EQ (left[i], asDouble ? wantLeft : static_cast<float> (wantLeft)) << i;
			ASSERT_EQ (right[i], asDouble ? wantRight : static_cast<float> (wantRight)) << i;
		}
	}
}

} // namespace
