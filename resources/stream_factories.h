#pragma once
// The stream factories built into the program; OpenStream registers them on first use.
#include "resources/stream.h"

// "incbin::name": a read-only memory stream over an embedded file.
TStreamFactory& IncbinStreamFactory();
// A URL without a protocol: a file on disk.
TStreamFactory& FileStreamFactory();
