#include "recording_file.h"

#include <boost/format.hpp>
#include <utility>

#include "console.h"

namespace {

textio::BoundedWriter::Output fileOutput(std::unique_ptr<std::ostream> out, std::string name) {
    // Shared: the writer keeps its output alive for as long as it runs.
    std::shared_ptr<std::ostream> file(std::move(out));
    return [file, name = std::move(name)](const std::string& lines) {
        *file << lines;
        file->flush();
        if (file->good()) return true;
        writeConsole(str(boost::format("*** error: writing the recording '%1%' failed: the recording ends here\n") %
                         name));
        return false;
    };
}

}  // namespace

RecordingFile::RecordingFile(std::unique_ptr<std::ostream> out, std::string name, std::size_t waitingLimit)
    : writer(fileOutput(std::move(out), std::move(name)),
             {waitingLimit, textio::WhenFull::keepOrderMarkGap, [](std::size_t lines) {
                  return str(boost::format("# %1% lines lost here: the disk did not keep up\n") % lines);
              }}) {}
