#ifndef BOARDIO_EXPORT_H
#define BOARDIO_EXPORT_H

// Everything the library offers its users carries BOARDIO_API; the rest of
// the library stays hidden (the build compiles with hidden visibility).
#if defined(_WIN32)
#if defined(BOARDIO_BUILDING)
#define BOARDIO_API __declspec(dllexport)
#else
#define BOARDIO_API __declspec(dllimport)
#endif
#else
#define BOARDIO_API __attribute__((visibility("default")))
#endif

#endif
