#include "ctl/StandardStreams.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace StandardStreams {

// The C runtime opens them in text mode, which writes every "\n" as
// "\r\n": binary mode keeps the lines and a memory dump the same bytes as
// on Linux.
void passBytesUnchanged()
{
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

} // namespace StandardStreams
