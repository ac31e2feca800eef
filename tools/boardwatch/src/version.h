#ifndef BOARDWATCH_VERSION_H
#define BOARDWATCH_VERSION_H

namespace boardwatch {

// The project's version, from the build.
constexpr const char* versionText = BOARDWATCH_VERSION;

}  // namespace boardwatch

#endif
