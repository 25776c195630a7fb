#pragma once

#include <QtGlobal>

// The buffer library's classes are seen by the engine and the viewer
// plug-ins; the library itself exports them.
#if defined(TARVO_QXBUFFER_LIBRARY)
#define QXBUFFER_EXPORT Q_DECL_EXPORT
#else
#define QXBUFFER_EXPORT Q_DECL_IMPORT
#endif
