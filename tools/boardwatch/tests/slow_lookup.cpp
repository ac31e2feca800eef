// Name lookups as a test wants them, put before the system's by LD_PRELOAD:
// a name ending in ".hang" takes a minute to look up (a name server that
// does not answer), one ending in ".nothere" is not found, and every other
// is looked up as the system does.
#include <dlfcn.h>
#include <netdb.h>
#include <unistd.h>

#include <cstring>

namespace {

bool endsWith(const char* name, const char* end) {
    const std::size_t size = std::strlen(name), endSize = std::strlen(end);
    return size >= endSize && std::strcmp(name + size - endSize, end) == 0;
}

}  // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** found) {
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto system = reinterpret_cast<Lookup>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node != nullptr && endsWith(node, ".hang")) {
        ::sleep(60);
        return EAI_AGAIN;
    }
    if (node != nullptr && endsWith(node, ".nothere")) return EAI_NONAME;
    return system(node, service, hints, found);
}
