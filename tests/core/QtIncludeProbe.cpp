// Compiled by the core_refuses_qt test with the core library's own include
// folders and definitions: once as is, which must build, and once with
// PROBE_INCLUDES_QT, which must not.
#include "core/FormatCatalogue.h"

#ifdef PROBE_INCLUDES_QT
#include <QString>
#endif

int ProbeFormatCount() { return kOutputFormatCount; }
