#include "ctl/StandardStreams.h"

namespace StandardStreams {

// POSIX streams never translate what goes through them.
void passBytesUnchanged()
{
}

} // namespace StandardStreams
