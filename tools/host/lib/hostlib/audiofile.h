// Audio buffers and sound files (libsndfile).
#pragma once

#include <string>
#include <vector>

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

bool readBinaryFile (const std::string& path, std::vector<unsigned char>& bytes, std::string& error);
bool writeBinaryFile (const std::string& path, const std::vector<unsigned char>& bytes, std::string& error);

} // namespace vsthost
