#include "hostlib/audiofile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vsthost {

namespace {

std::string systemError (const std::string& what, const std::string& path, int errorNumber)
{
	return what + " '" + path + "': " + std::strerror (errorNumber);
}

// Opens a file for reading; a folder is refused (reading one fails only later, and
// libsndfile calls it an unknown format). The message starts with what.
int openForReading (const std::string& path, const char* what, struct stat& status, std::string& error)
{
	int fd = ::open (path.c_str (), O_RDONLY | O_CLOEXEC);
	if (fd < 0)
	{
		error = systemError (what, path, errno);
		return -1;
	}
	if (::fstat (fd, &status) != 0 || S_ISDIR (status.st_mode))
	{
		int errorNumber = S_ISDIR (status.st_mode) ? EISDIR : errno;
		::close (fd);
		error = systemError (what, path, errorNumber);
		return -1;
	}
	return fd;
}

std::string folderOf (const std::string& path)
{
	auto slash = path.rfind ('/');
	if (slash == std::string::npos)
		return ".";
	return slash == 0 ? "/" : path.substr (0, slash);
}

std::string fileNameOf (const std::string& path)
{
	auto slash = path.rfind ('/');
	return slash == std::string::npos ? path : path.substr (slash + 1);
}

// A sound file from a descriptor opened for reading; it must have channels and a rate.
SNDFILE* openSoundFile (int fd, const std::string& path, SF_INFO& info, std::string& error)
{
	SNDFILE* file = sf_open_fd (fd, SFM_READ, &info, SF_FALSE);
	if (!file)
	{
		error = "cannot read audio file '" + path + "': " + sf_strerror (nullptr);
		return nullptr;
	}
	if (info.channels <= 0 || info.samplerate <= 0)
	{
		sf_close (file);
		error = "audio file '" + path + "' has no channels or no sample rate";
		return nullptr;
	}
	return file;
}

} // namespace

void AudioBuffer::resize (size_t channelCount, size_t numFrames)
{
	channels.assign (channelCount, std::vector<double> (numFrames, 0.0));
}

bool readAudioFile (const std::string& path, AudioBuffer& buffer, std::string& error)
{
	struct stat status {};
	int fd = openForReading (path, "cannot read audio file", status, error);
	if (fd < 0)
		return false;
	SF_INFO info {};
	SNDFILE* file = openSoundFile (fd, path, info, error);
	if (!file)
	{
		::close (fd);
		return false;
	}
	const auto numChannels = static_cast<size_t> (info.channels);
	const auto numFrames = static_cast<size_t> (info.frames);
	std::vector<double> interleaved (numChannels * numFrames);
	sf_count_t got = numFrames ? sf_readf_double (file, interleaved.data (), info.frames) : 0;
	sf_close (file);
	::close (fd);
	if (got != info.frames)
	{
		error = "audio file '" + path + "' is shorter than its header says";
		return false;
	}
	buffer.sampleRate = info.samplerate;
	buffer.resize (numChannels, numFrames);
	for (size_t f = 0; f < numFrames; ++f)
		for (size_t c = 0; c < numChannels; ++c)
			buffer.channels[c][f] = interleaved[f * numChannels + c];
	return true;
}

bool writeWavFile (const std::string& path, const AudioBuffer& buffer, SampleFormat format, std::string& error)
{
	if (buffer.channels.empty () || buffer.sampleRate <= 0)
	{
		error = "nothing to write to '" + path + "'";
		return false;
	}
	SF_INFO info {};
	info.samplerate = static_cast<int> (buffer.sampleRate);
	info.channels = static_cast<int> (buffer.channelCount ());
	info.format = SF_FORMAT_WAV | (format == SampleFormat::Float64 ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT);
	SNDFILE* file = sf_open (path.c_str (), SFM_WRITE, &info);
	if (!file)
	{
		error = "cannot write audio file '" + path + "': " + sf_strerror (nullptr);
		return false;
	}
	const size_t numChannels = buffer.channelCount ();
	const size_t numFrames = buffer.frames ();
	sf_count_t written = 0;
	if (format == SampleFormat::Float64)
	{
		std::vector<double> interleaved (numChannels * numFrames);
		for (size_t f = 0; f < numFrames; ++f)
			for (size_t c = 0; c < numChannels; ++c)
				interleaved[f * numChannels + c] = buffer.channels[c][f];
		written = sf_writef_double (file, interleaved.data (), static_cast<sf_count_t> (numFrames));
	}
	else
	{
		std::vector<float> interleaved (numChannels * numFrames);
		for (size_t f = 0; f < numFrames; ++f)
			for (size_t c = 0; c < numChannels; ++c)
				interleaved[f * numChannels + c] = static_cast<float> (buffer.channels[c][f]);
		written = sf_writef_float (file, interleaved.data (), static_cast<sf_count_t> (numFrames));
	}
	int closeResult = sf_close (file);
	if (written != static_cast<sf_count_t> (numFrames) || closeResult != 0)
	{
		error = "writing audio file '" + path + "' failed";
		return false;
	}
	return true;
}

bool readBinaryFile (const std::string& path, std::vector<unsigned char>& bytes, std::string& error)
{
	struct stat status {};
	int fd = openForReading (path, "cannot open", status, error);
	if (fd < 0)
		return false;
	bytes.clear ();
	unsigned char chunk[65536];
	for (;;)
	{
		ssize_t got = ::read (fd, chunk, sizeof (chunk));
		if (got < 0 && errno == EINTR)
			continue;
		if (got < 0)
		{
			error = systemError ("cannot read", path, errno);
			::close (fd);
			return false;
		}
		if (got == 0)
			break;
		bytes.insert (bytes.end (), chunk, chunk + got);
	}
	::close (fd);
	return true;
}

bool writeBinaryFile (const std::string& path, const std::vector<unsigned char>& bytes, std::string& error)
{
	ReplacingFile file;
	return file.create (path, error) && file.write (bytes.data (), bytes.size (), error) && file.commit (error);
}

bool fileIdentity (const std::string& path, FileIdentity& identity)
{
	struct stat status {};
	if (::stat (path.c_str (), &status) != 0)
		return false;
	identity.device = status.st_dev;
	identity.inode = status.st_ino;
	return true;
}

//------------------------------------------------------------------------
ReplacingFile::~ReplacingFile ()
{
	discard ();
}

bool ReplacingFile::create (const std::string& path, std::string& error)
{
	discard ();
	// A link is followed to the file it names, which is the one replaced.
	std::string resolved = path;
	char real[PATH_MAX];
	if (::realpath (path.c_str (), real))
		resolved = real;

	struct stat status {};
	const bool exists = ::stat (resolved.c_str (), &status) == 0;
	if (exists && S_ISDIR (status.st_mode))
	{
		error = systemError ("cannot write", path, EISDIR);
		return false;
	}
	// A rename would replace a file its owner made read-only; writing it could not.
	if (exists && ::access (resolved.c_str (), W_OK) != 0)
	{
		error = systemError ("cannot write", path, errno);
		return false;
	}
	if (exists && !S_ISREG (status.st_mode))
	{
		// A device or a pipe: there is nothing to replace, only to write to.
		fd = ::open (resolved.c_str (), O_WRONLY | O_TRUNC | O_CLOEXEC);
		if (fd < 0)
		{
			error = systemError ("cannot write", path, errno);
			return false;
		}
		target = resolved;
		return true;
	}

	// The temporary file gets the mode of the file it replaces, or that of a new file.
	const mode_t mode = exists ? (status.st_mode & 07777) : 0666;
	const std::string prefix = folderOf (resolved) + "/." + fileNameOf (resolved) + ".";
	// Names only need to differ between processes and attempts; O_EXCL settles collisions.
	std::uint64_t seed = static_cast<std::uint64_t> (std::chrono::steady_clock::now ().time_since_epoch ().count ()) ^
	                     (static_cast<std::uint64_t> (::getpid ()) << 40);
	for (int attempt = 0; attempt < 100; ++attempt)
	{
		seed = seed * 6364136223846793005ull + 1442695040888963407ull;
		char suffix[24];
		std::snprintf (suffix, sizeof (suffix), "%012llx.tmp", static_cast<unsigned long long> (seed >> 16));
		std::string name = prefix + suffix;
		fd = ::open (name.c_str (), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
		if (fd >= 0)
		{
			if (exists)
				(void)::fchmod (fd, mode); // the umask must not narrow an existing file's mode
			temporary = name;
			target = resolved;
			return true;
		}
		if (errno != EEXIST)
			break;
	}
	error = systemError ("cannot create a file in the folder of", path, errno);
	return false;
}

bool ReplacingFile::write (const void* data, size_t size, std::string& error)
{
	if (fd < 0)
	{
		error = systemError ("cannot write", target, EBADF);
		return false;
	}
	auto bytes = static_cast<const unsigned char*> (data);
	while (size > 0)
	{
		ssize_t written = ::write (fd, bytes, size);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0)
		{
			error = systemError ("cannot write", target, written == 0 ? EIO : errno);
			return false;
		}
		bytes += written;
		size -= static_cast<size_t> (written);
	}
	return true;
}

bool ReplacingFile::commit (std::string& error)
{
	if (target.empty ())
	{
		error = "no file to commit";
		return false;
	}
	if (fd >= 0)
	{
		int closed = ::close (fd);
		fd = -1;
		if (closed != 0)
		{
			error = systemError ("cannot write", target, errno);
			discard ();
			return false;
		}
	}
	if (!temporary.empty () && ::rename (temporary.c_str (), target.c_str ()) != 0)
	{
		error = systemError ("cannot replace", target, errno);
		discard ();
		return false;
	}
	temporary.clear ();
	target.clear ();
	return true;
}

void ReplacingFile::discard ()
{
	if (fd >= 0)
		::close (fd);
	fd = -1;
	if (!temporary.empty ())
		::unlink (temporary.c_str ());
	temporary.clear ();
	target.clear ();
}

//------------------------------------------------------------------------
namespace {

// Frames read or written per libsndfile call: bounds the interleaved scratch buffers.
constexpr size_t kScratchFrames = 4096;

template <typename Sample>
std::vector<Sample>& scratchFor (std::vector<float>& scratch32, std::vector<double>& scratch64)
{
	if constexpr (std::is_same<Sample, float>::value)
		return scratch32;
	else
		return scratch64;
}

sf_count_t readFrames (SNDFILE* file, float* data, sf_count_t frames)
{
	return sf_readf_float (file, data, frames);
}

sf_count_t readFrames (SNDFILE* file, double* data, sf_count_t frames)
{
	return sf_readf_double (file, data, frames);
}

sf_count_t writeFrames (SNDFILE* file, const float* data, sf_count_t frames)
{
	return sf_writef_float (file, data, frames);
}

sf_count_t writeFrames (SNDFILE* file, const double* data, sf_count_t frames)
{
	return sf_writef_double (file, data, frames);
}

std::uint32_t littleEndian32 (const unsigned char* p)
{
	return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t> (p[3]) << 24);
}

std::uint32_t bigEndian32 (const unsigned char* p)
{
	return (static_cast<std::uint32_t> (p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// The frames a WAV (RIFF) or AIFF header announces in its data and format chunks;
// 0 when unknown (another format, or a size left open by a streaming writer).
std::uint64_t headerFrames (int fd)
{
	unsigned char head[12];
	if (::pread (fd, head, sizeof (head), 0) != static_cast<ssize_t> (sizeof (head)))
		return 0;
	const bool wav = std::memcmp (head, "RIFF", 4) == 0 && std::memcmp (head + 8, "WAVE", 4) == 0;
	const bool aiff = std::memcmp (head, "FORM", 4) == 0 &&
	                  (std::memcmp (head + 8, "AIFF", 4) == 0 || std::memcmp (head + 8, "AIFC", 4) == 0);
	if (!wav && !aiff)
		return 0;
	std::uint32_t blockAlign = 0;
	off_t offset = 12;
	for (int chunks = 0; chunks < 1000; ++chunks)
	{
		unsigned char chunk[22];
		ssize_t got = ::pread (fd, chunk, sizeof (chunk), offset);
		if (got < 8)
			return 0;
		const std::uint32_t size = wav ? littleEndian32 (chunk + 4) : bigEndian32 (chunk + 4);
		if (aiff && std::memcmp (chunk, "COMM", 4) == 0 && got >= 14)
			return bigEndian32 (chunk + 10); // numChannels (2 bytes), then numSampleFrames
		if (wav && std::memcmp (chunk, "fmt ", 4) == 0 && got >= 22)
			blockAlign = chunk[8 + 12] | (chunk[8 + 13] << 8);
		if (wav && std::memcmp (chunk, "data", 4) == 0)
			return (blockAlign == 0 || size == 0 || size == 0xFFFFFFFFu) ? 0 : size / blockAlign;
		offset += 8 + static_cast<off_t> (size) + (size & 1);
	}
	return 0;
}

} // namespace

SoundFileReader::~SoundFileReader ()
{
	if (file)
		sf_close (file);
	if (fd >= 0)
		::close (fd);
}

bool SoundFileReader::open (const std::string& path, std::string& error)
{
	filePath = path;
	struct stat status {};
	fd = openForReading (path, "cannot read audio file", status, error);
	if (fd < 0)
		return false;
	fileId.device = status.st_dev;
	fileId.inode = status.st_ino;
	const std::uint64_t announced = S_ISREG (status.st_mode) ? headerFrames (fd) : 0;

	SF_INFO info {};
	file = openSoundFile (fd, path, info, error);
	if (!file)
		return false;
	rate = info.samplerate;
	channels = static_cast<size_t> (info.channels);
	const std::uint64_t reported = info.frames < 0 || info.frames == SF_COUNT_MAX ? 0 : static_cast<std::uint64_t> (info.frames);
	promised = std::max (announced, reported);
	return true;
}

template <typename Sample>
bool SoundFileReader::read (Sample* left, Sample* right, size_t frames, size_t& got, std::string& error)
{
	std::vector<Sample>& scratch = scratchFor<Sample> (scratch32, scratch64);
	scratch.resize (kScratchFrames * channels);
	const size_t second = channels > 1 ? 1 : 0;
	got = 0;
	while (got < frames)
	{
		const auto wanted = static_cast<sf_count_t> (std::min (kScratchFrames, frames - got));
		const sf_count_t n = std::max<sf_count_t> (0, readFrames (file, scratch.data (), wanted));
		for (sf_count_t f = 0; f < n; ++f)
		{
			left[got + static_cast<size_t> (f)] = scratch[static_cast<size_t> (f) * channels];
			right[got + static_cast<size_t> (f)] = scratch[static_cast<size_t> (f) * channels + second];
		}
		got += static_cast<size_t> (n);
		done += static_cast<std::uint64_t> (n);
		if (n < wanted)
		{
			if (sf_error (file) != SF_ERR_NO_ERROR)
			{
				error = "reading audio file '" + filePath + "' failed: " + sf_strerror (file);
				return false;
			}
			break;
		}
	}
	return true;
}

bool SoundFileReader::readStereo (float* left, float* right, size_t frames, size_t& got, std::string& error)
{
	return read (left, right, frames, got, error);
}

bool SoundFileReader::readStereo (double* left, double* right, size_t frames, size_t& got, std::string& error)
{
	return read (left, right, frames, got, error);
}

//------------------------------------------------------------------------
namespace {

struct ExtensionFormat
{
	const char* extension;
	int major;
	int subtype;
	int doubleSubtype; // 0: no 64-bit float samples in this format
};

const ExtensionFormat kExtensionFormats[] = {
    {"wav", SF_FORMAT_WAV, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE},
    {"w64", SF_FORMAT_W64, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE},
    {"rf64", SF_FORMAT_RF64, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE},
    {"caf", SF_FORMAT_CAF, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE},
    {"aif", SF_FORMAT_AIFF, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE},
    {"aiff", SF_FORMAT_AIFF, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE},
    {"au", SF_FORMAT_AU, SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE},
    {"flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24, 0},
    {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS, 0},
    {"oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS, 0},
    {"opus", SF_FORMAT_OGG, SF_FORMAT_OPUS, 0},
    {"mp3", SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III, 0},
};

const char* subtypeDescription (int subtype)
{
	switch (subtype)
	{
		case SF_FORMAT_FLOAT: return "32-bit-float";
		case SF_FORMAT_DOUBLE: return "64-bit-float";
		case SF_FORMAT_PCM_24: return "24-bit-pcm";
		case SF_FORMAT_VORBIS: return "vorbis";
		case SF_FORMAT_OPUS: return "opus";
		case SF_FORMAT_MPEG_LAYER_III: return "mp3";
		default: return "other";
	}
}

bool isIntegerSubtype (int subtype)
{
	return subtype == SF_FORMAT_PCM_16 || subtype == SF_FORMAT_PCM_24 || subtype == SF_FORMAT_PCM_32;
}

// WAV, AIFF and AU headers hold the data's size in 32 bits: about 4 GiB of samples at most.
bool fitsThirtyTwoBitSize (int format, std::uint64_t frames)
{
	const int major = format & SF_FORMAT_TYPEMASK;
	if (major != SF_FORMAT_WAV && major != SF_FORMAT_AIFF && major != SF_FORMAT_AU)
		return true;
	const std::uint64_t bytesPerFrame = (format & SF_FORMAT_SUBMASK) == SF_FORMAT_DOUBLE ? 16 : 8;
	return frames <= (0xFFFFFFFFull - 65536) / bytesPerFrame;
}

} // namespace

std::string outputExtensions ()
{
	std::string list;
	for (auto& entry : kExtensionFormats)
		list += (list.empty () ? "." : ", .") + std::string (entry.extension);
	return list;
}

bool outputFormatForPath (const std::string& path, bool doubleSamples, OutputFormat& format, std::string& error)
{
	const std::string name = fileNameOf (path);
	const auto dot = name.rfind ('.');
	std::string extension = dot == std::string::npos ? "" : name.substr (dot + 1);
	for (auto& c : extension)
		c = static_cast<char> (std::tolower (static_cast<unsigned char> (c)));
	// A name without an extension (/dev/null, say) gets the default, WAV.
	if (extension.empty ())
		extension = "wav";
	for (auto& entry : kExtensionFormats)
	{
		if (extension != entry.extension)
			continue;
		if (doubleSamples && !entry.doubleSubtype)
		{
			error = "--out-double needs a format with 64-bit float samples, not ." + extension;
			return false;
		}
		const int subtype = doubleSamples ? entry.doubleSubtype : entry.subtype;
		format.sfFormat = entry.major | subtype;
		format.description = subtypeDescription (subtype);
		return true;
	}
	error = "cannot write ." + extension + " files ('" + path + "'); the output's extension chooses its format: " +
	        outputExtensions () + " (none: .wav)";
	return false;
}

//------------------------------------------------------------------------
SoundFileWriter::~SoundFileWriter ()
{
	closeFile ();
}

void SoundFileWriter::closeFile ()
{
	if (file)
		sf_close (file);
	file = nullptr;
}

bool SoundFileWriter::open (const std::string& path, const OutputFormat& format, double sampleRate,
                            std::uint64_t expectedFrames, std::string& error)
{
	filePath = path;
	if (!fitsThirtyTwoBitSize (format.sfFormat, expectedFrames))
	{
		error = "'" + path + "': " + std::to_string (expectedFrames) + " stereo frames of " + format.description +
		        " are more than the 4 GiB a WAV, AIFF or AU file holds; write .rf64, .w64 or .caf";
		return false;
	}
	SF_INFO info {};
	info.samplerate = static_cast<int> (sampleRate);
	info.channels = 2;
	info.format = format.sfFormat;
	if (!sf_format_check (&info))
	{
		error = "cannot write " + std::string (format.description) + " to '" + path + "' at " +
		        std::to_string (info.samplerate) + " Hz (a rate or format libsndfile does not write)";
		return false;
	}
	if (!replacing.create (path, error))
		return false;
	file = sf_open_fd (replacing.descriptor (), SFM_WRITE, &info, SF_FALSE);
	if (!file)
	{
		error = "cannot write audio file '" + path + "': " + sf_strerror (nullptr);
		replacing.discard ();
		return false;
	}
	if (isIntegerSubtype (format.sfFormat & SF_FORMAT_SUBMASK))
		sf_command (file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
	return true;
}

template <typename Sample>
bool SoundFileWriter::write (const Sample* left, const Sample* right, size_t frames, std::string& error)
{
	std::vector<Sample>& scratch = scratchFor<Sample> (scratch32, scratch64);
	scratch.resize (kScratchFrames * 2);
	for (size_t start = 0; start < frames; start += kScratchFrames)
	{
		const size_t n = std::min (kScratchFrames, frames - start);
		for (size_t f = 0; f < n; ++f)
		{
			scratch[2 * f] = left[start + f];
			scratch[2 * f + 1] = right[start + f];
		}
		if (writeFrames (file, scratch.data (), static_cast<sf_count_t> (n)) != static_cast<sf_count_t> (n))
		{
			error = "writing audio file '" + filePath + "' failed: " + sf_strerror (file);
			return false;
		}
	}
	return true;
}

bool SoundFileWriter::writeStereo (const float* left, const float* right, size_t frames, std::string& error)
{
	return write (left, right, frames, error);
}

bool SoundFileWriter::writeStereo (const double* left, const double* right, size_t frames, std::string& error)
{
	return write (left, right, frames, error);
}

bool SoundFileWriter::commit (std::string& error)
{
	if (!file)
	{
		error = "no audio file open for '" + filePath + "'";
		return false;
	}
	const int closed = sf_close (file);
	file = nullptr;
	if (closed != 0)
	{
		error = "writing audio file '" + filePath + "' failed: " + sf_error_number (closed);
		replacing.discard ();
		return false;
	}
	return replacing.commit (error);
}

} // namespace vsthost
