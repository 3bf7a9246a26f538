#include "stateimage.h"

#include <cstring>

namespace stress {

namespace {

template <typename T>
void put (std::vector<std::uint8_t>& out, T value)
{
	std::uint8_t raw[sizeof (T)];
	std::memcpy (raw, &value, sizeof (T));
	// Little-endian whatever the machine.
	std::uint64_t bits = 0;
	std::memcpy (&bits, raw, sizeof (T));
	for (size_t i = 0; i < sizeof (T); ++i)
		out.push_back (static_cast<std::uint8_t> (bits >> (8 * i)));
}

template <typename T>
T get (const std::uint8_t*& p)
{
	std::uint64_t bits = 0;
	for (size_t i = 0; i < sizeof (T); ++i)
		bits |= static_cast<std::uint64_t> (p[i]) << (8 * i);
	p += sizeof (T);
	T value;
	std::memcpy (&value, &bits, sizeof (T));
	return value;
}

} // namespace

std::vector<std::uint8_t> StateImage::encode () const
{
	std::vector<std::uint8_t> out;
	out.reserve (kStateBytes);
	put (out, leadingWord);
	put (out, bypass);
	put (out, level);
	for (double b : bands)
		put (out, b);
	for (double r : reserved)
		put (out, r);
	for (std::int32_t f : flags)
		put (out, f);
	return out;
}

bool StateImage::decode (const std::uint8_t* bytes, size_t size, StateImage& image)
{
	if (!bytes || size < kStateBytes)
		return false;
	const std::uint8_t* p = bytes;
	image.leadingWord = get<std::int64_t> (p);
	image.bypass = get<std::int32_t> (p);
	image.level = get<double> (p);
	for (double& b : image.bands)
		b = get<double> (p);
	for (double& r : image.reserved)
		r = get<double> (p);
	for (std::int32_t& f : image.flags)
		f = get<std::int32_t> (p);
	return true;
}

std::vector<std::uint8_t> StateImage::canonical () const
{
	StateImage c = *this;
	c.leadingWord = 0;
	c.bypass = bypass > 0 ? 1 : 0;
	for (std::int32_t& f : c.flags)
		f = f > 0 ? 1 : 0;
	return c.encode ();
}

bool sameBits (double a, double b)
{
	return std::memcmp (&a, &b, sizeof (double)) == 0;
}

} // namespace stress
