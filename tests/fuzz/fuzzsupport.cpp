#include "fuzzsupport.h"

#include <limits>

namespace fuzz {

double interestingValue (Reader& r)
{
	static const double values[] = {0.0, -0.0, 0.5, 1.0, 0.75, 0.5000000001, -0.25, 1.5, 2.0, -1.0, 1e6, -1e6,
	                                1e300, -1e300, std::numeric_limits<double>::max (),
	                                -std::numeric_limits<double>::max (), std::numeric_limits<double>::infinity (),
	                                -std::numeric_limits<double>::infinity (),
	                                std::numeric_limits<double>::quiet_NaN (), 4.9e-324, -4.9e-324,
	                                std::numeric_limits<double>::min (), 1e-310};
	const uint8_t kind = r.byte ();
	if (kind < 96)
		return values[kind % (sizeof (values) / sizeof (double))];
	if (kind < 192)
		return r.take<uint16_t> () / 65535.0;
	return r.take<double> (); // any bit pattern
}

} // namespace fuzz
