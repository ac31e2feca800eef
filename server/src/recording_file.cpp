#include "recording_file.h"

#include <boost/format.hpp>
#include <cerrno>
#include <fstream>
#include <system_error>
#include <utility>

#include "console.h"

namespace {

// The writer's output: opens on the first lines, so that an open that
// blocks blocks the writer's thread alone.
class LazyFile {
public:
    LazyFile(RecordingFile::Opener open, std::string name) : open(std::move(open)), name(std::move(name)) {}

    bool write(const std::string& lines) {
        if (!file) {
            std::string why;
            file = open(why);
            if (!file) {
                writeConsole(str(boost::format("*** error: cannot write the recording '%1%': %2%\n") % name % why));
                return false;
            }
        }
        *file << lines;
        file->flush();
        if (file->good()) return true;
        writeConsole(str(boost::format("*** error: writing the recording '%1%' failed: the recording ends here\n") %
                         name));
        return false;
    }

private:
    const RecordingFile::Opener open;
    const std::string name;
    std::unique_ptr<std::ostream> file;
};

}  // namespace

RecordingFile::Opener RecordingFile::fileAt(std::string path) {
    return [path = std::move(path)](std::string& why) -> std::unique_ptr<std::ostream> {
        errno = 0;
        auto file = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
        if (file->is_open()) return file;
        const int error = errno;
        why = error != 0 ? std::generic_category().message(error) : "it cannot be opened";
        return nullptr;
    };
}

RecordingFile::RecordingFile(Opener open, std::string name, std::size_t waitingLimit)
    : name(name),
      writer(
          // Shared: the writer keeps its output alive for as long as it runs.
          [file = std::make_shared<LazyFile>(std::move(open), std::move(name))](const std::string& lines) {
              return file->write(lines);
          },
          {waitingLimit, textio::WhenFull::keepOrderMarkGap,
           [](std::size_t lines) {
               return str(boost::format("# %1% lines lost here: the disk did not keep up\n") % lines);
           },
           // A line for each byte the board sends, often: written together.
           std::chrono::milliseconds(10)}) {}

RecordingFile::~RecordingFile() {
    if (writer.finish(finishPatience) || writer.failed()) return;
    writeConsole(str(boost::format("*** error: the recording '%1%' did not take its last lines in time: it ends "
                                   "before the session did\n") %
                     name));
}
