// Audio buffers, sound files (libsndfile) and files replaced only once written whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>

struct sf_private_tag;

namespace vsthost {

struct AudioBuffer
{
	double sampleRate {0};
	std::vector<std::vector<double>> channels;

	size_t frames () const { return channels.empty () ? 0 : channels.front ().size (); }
	size_t channelCount () const { return channels.size (); }
	void resize (size_t channelCount, size_t frames);
};

enum class SampleFormat
{
	Float32,
	Float64
};

// Reads any file libsndfile knows (WAV, AIFF, FLAC, ...) as doubles.
bool readAudioFile (const std::string& path, AudioBuffer& buffer, std::string& error);
// Writes a WAV file with IEEE float samples of 32 or 64 bits.
bool writeWavFile (const std::string& path, const AudioBuffer& buffer, SampleFormat format, std::string& error);

// Reads a whole file. A folder or an unreadable file gives false and a message.
bool readBinaryFile (const std::string& path, std::vector<unsigned char>& bytes, std::string& error);
// Writes a whole file through a ReplacingFile: the old file stays as it was unless all was written.
bool writeBinaryFile (const std::string& path, const std::vector<unsigned char>& bytes, std::string& error);

// Device and inode of a file (symbolic links followed).
struct FileIdentity
{
	dev_t device {0};
	ino_t inode {0};
	bool operator== (const FileIdentity& other) const { return device == other.device && inode == other.inode; }
};
// False when the path names no existing file.
bool fileIdentity (const std::string& path, FileIdentity& identity);

//------------------------------------------------------------------------
// A file written under a temporary name in the target's folder and renamed over
// the target by commit(), so that the target is either untouched or complete.
// Without commit() the destructor removes the temporary file. A target that is a
// symbolic link is replaced at the file it points to, with the old file's mode; an
// existing target that is not a regular file (/dev/null, a pipe) is written in
// place; one this process may not write is refused.
//------------------------------------------------------------------------
class ReplacingFile
{
public:
	ReplacingFile () = default;
	~ReplacingFile ();
	ReplacingFile (const ReplacingFile&) = delete;
	ReplacingFile& operator= (const ReplacingFile&) = delete;

	// False with a message for a folder, a missing folder or one that cannot be written.
	bool create (const std::string& target, std::string& error);
	int descriptor () const { return fd; }
	// Writes all of data to the file.
	bool write (const void* data, size_t size, std::string& error);
	// Closes the descriptor (when still held) and renames the file over the target.
	bool commit (std::string& error);
	// Removes the temporary file and forgets the target.
	void discard ();

private:
	std::string target;
	std::string temporary; // empty when writing in place
	int fd {-1};
};

//------------------------------------------------------------------------
// A sound file read block by block as stereo: the first two channels, a mono file's
// channel twice. Samples come as libsndfile converts them (PCM scaled to [-1, 1)).
//------------------------------------------------------------------------
class SoundFileReader
{
public:
	SoundFileReader () = default;
	~SoundFileReader ();
	SoundFileReader (const SoundFileReader&) = delete;
	SoundFileReader& operator= (const SoundFileReader&) = delete;

	bool open (const std::string& path, std::string& error);
	const std::string& path () const { return filePath; }
	double sampleRate () const { return rate; }
	size_t channelCount () const { return channels; }
	const FileIdentity& identity () const { return fileId; }
	// The frames the file's header announces: for WAV and AIFF its data size,
	// which a truncated file does not hold; otherwise what libsndfile reports.
	std::uint64_t promisedFrames () const { return promised; }
	std::uint64_t framesRead () const { return done; }

	// Up to `frames` frames into left and right; fewer only at the file's end.
	// False with a message on a read error.
	bool readStereo (float* left, float* right, size_t frames, size_t& got, std::string& error);
	bool readStereo (double* left, double* right, size_t frames, size_t& got, std::string& error);

private:
	template <typename Sample>
	bool read (Sample* left, Sample* right, size_t frames, size_t& got, std::string& error);

	sf_private_tag* file {nullptr};
	int fd {-1};
	std::string filePath;
	double rate {0};
	size_t channels {0};
	FileIdentity fileId;
	std::uint64_t promised {0};
	std::uint64_t done {0};
	std::vector<float> scratch32;
	std::vector<double> scratch64;
};

// The sound file format written for a file name, chosen by its extension.
struct OutputFormat
{
	int sfFormat {0};          // libsndfile's major format | subtype
	const char* description {""}; // the samples, e.g. "32-bit-float", "24-bit-pcm"
};
// .wav, .w64, .rf64, .caf, .aif/.aiff, .au: float of 32 bits (64 with doubleSamples);
// .flac: 24-bit PCM; .ogg/.oga: Vorbis; .opus: Opus; .mp3: MPEG layer III; no extension: WAV.
// False with a message for another extension, or for doubleSamples in a format without them.
bool outputFormatForPath (const std::string& path, bool doubleSamples, OutputFormat& format, std::string& error);
// The extensions outputFormatForPath knows, for messages: ".wav, .w64, ...".
std::string outputExtensions ();

//------------------------------------------------------------------------
// A stereo sound file written block by block through a ReplacingFile: the target
// appears (or is replaced) only when commit() succeeds. Integer formats clip.
//------------------------------------------------------------------------
class SoundFileWriter
{
public:
	SoundFileWriter () = default;
	~SoundFileWriter ();
	SoundFileWriter (const SoundFileWriter&) = delete;
	SoundFileWriter& operator= (const SoundFileWriter&) = delete;

	// expectedFrames, when known, lets a format too small for them be refused before any work.
	bool open (const std::string& path, const OutputFormat& format, double sampleRate, std::uint64_t expectedFrames,
	           std::string& error);
	bool writeStereo (const float* left, const float* right, size_t frames, std::string& error);
	bool writeStereo (const double* left, const double* right, size_t frames, std::string& error);
	// Finishes the file and puts it in place.
	bool commit (std::string& error);

private:
	template <typename Sample>
	bool write (const Sample* left, const Sample* right, size_t frames, std::string& error);
	void closeFile ();

	sf_private_tag* file {nullptr};
	std::string filePath;
	ReplacingFile replacing;
	std::vector<float> scratch32;
	std::vector<double> scratch64;
};

} // namespace vsthost
