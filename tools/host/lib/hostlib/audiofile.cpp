#include "hostlib/audiofile.h"

#include <sndfile.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vsthost {

void AudioBuffer::resize (size_t channelCount, size_t numFrames)
{
	channels.assign (channelCount, std::vector<double> (numFrames, 0.0));
}

bool readAudioFile (const std::string& path, AudioBuffer& buffer, std::string& error)
{
	SF_INFO info {};
	SNDFILE* file = sf_open (path.c_str (), SFM_READ, &info);
	if (!file)
	{
		error = "cannot read audio file '" + path + "': " + sf_strerror (nullptr);
		return false;
	}
	if (info.channels <= 0 || info.samplerate <= 0)
	{
		sf_close (file);
		error = "audio file '" + path + "' has no channels or no sample rate";
		return false;
	}
	const auto numChannels = static_cast<size_t> (info.channels);
	const auto numFrames = static_cast<size_t> (info.frames);
	std::vector<double> interleaved (numChannels * numFrames);
	sf_count_t got = numFrames ? sf_readf_double (file, interleaved.data (), info.frames) : 0;
	sf_close (file);
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
	std::ifstream in (path, std::ios::binary);
	if (!in)
	{
		error = "cannot open '" + path + "': " + std::strerror (errno);
		return false;
	}
	bytes.assign (std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char> ());
	if (in.bad ())
	{
		error = "cannot read '" + path + "'";
		return false;
	}
	return true;
}

bool writeBinaryFile (const std::string& path, const std::vector<unsigned char>& bytes, std::string& error)
{
	std::ofstream out (path, std::ios::binary | std::ios::trunc);
	if (!out)
	{
		error = "cannot create '" + path + "': " + std::strerror (errno);
		return false;
	}
	out.write (reinterpret_cast<const char*> (bytes.data ()), static_cast<std::streamsize> (bytes.size ()));
	out.close ();
	if (!out)
	{
		error = "cannot write '" + path + "'";
		return false;
	}
	return true;
}

} // namespace vsthost
