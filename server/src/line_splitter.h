#ifndef DAMRELAY_LINE_SPLITTER_H
#define DAMRELAY_LINE_SPLITTER_H

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// The longest request line handled; the rest of a longer line is discarded.
constexpr std::size_t maxRequestLineLength = 64 * 1024;

// Cuts the bytes the program sends into lines, whatever the reads that
// brought them: a line ends with a line feed, and one carriage return at its
// end is not part of it (programs on Windows end their lines with CR LF). A
// line longer than the cap is cut to the cap and the rest of it, up to its
// line feed, is discarded, so memory stays bounded whatever the program
// sends.
class LineSplitter {
public:
    // Returns false to stop: the bytes after that line are not looked at.
    using LineHandler = std::function<bool(const std::string& line)>;

    explicit LineSplitter(std::size_t maxLength = maxRequestLineLength) : maxLength(maxLength) {}

    // Hands each line that data completes to onLine, without its line end.
    // False when onLine asked to stop.
    bool feed(const char* data, std::size_t size, const LineHandler& onLine);

    // At the end of the stream: the last line when it lacked its line feed.
    std::optional<std::string> finish();

private:
    void dropCarriageReturn();

    const std::size_t maxLength;
    std::string line;
    bool partial = false;  // bytes of an unfinished line have been seen
};

#endif
