// What the shared library exports: its own API and nothing else, as the
// dynamic linker sees it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The names of the defined dynamic symbols, demangled.
std::vector<std::string> exportedNames(const std::string& library) {
    std::vector<std::string> names;
    FILE* listing = ::popen(("nm -D --defined-only -C '" + library + "'").c_str(), "r");
    if (listing == nullptr) return names;
    char line[4096];
    while (std::fgets(line, sizeof line, listing) != nullptr) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        // "<address> <type> <name>"
        const std::size_t type = text.find(' ');
        if (type != std::string::npos && type + 3 <= text.size()) names.push_back(text.substr(type + 3));
    }
    ::pclose(listing);
    return names;
}

// The library's own: a member or function of its namespace, or the type
// information and virtual table of one of its classes; and the type of the
// exception open() throws.
bool isOwnApi(const std::string& name) {
    if (name == "typeinfo for boost::system::system_error" || name == "typeinfo name for boost::system::system_error") {
        return true;
    }
    std::string entity = name;
    for (const char* prefix : {"typeinfo name for ", "typeinfo for ", "vtable for "}) {
        const std::string text = prefix;
        if (entity.compare(0, text.size(), text) == 0) {
            entity.erase(0, text.size());
            break;
        }
    }
    // A template instantiated for one of our types starts with its return
    // type ("krvEBLowLevel::SingleBoardObserver** std::__niter_base<...>"):
    // the qualified name before the parameters is one word of ours.
    entity = entity.substr(0, entity.find('('));
    return entity.compare(0, 15, "krvEBLowLevel::") == 0 && entity.find_first_of(" <") == std::string::npos;
}

TEST(LibraryExports, AreTheLibrarysOwnApiAndTheExceptionOpenThrows) {
    const std::vector<std::string> names = exportedNames(BOARDIO_LIBRARY);
    ASSERT_GT(names.size(), 50u) << "no symbol table read from " << BOARDIO_LIBRARY;
    std::vector<std::string> foreign;
    for (const std::string& name : names) {
        if (!isOwnApi(name)) foreign.push_back(name);
    }
    EXPECT_TRUE(foreign.empty()) << foreign.size() << " foreign, the first: " << foreign.front();
    for (const char* needed :
         {"krvEBLowLevel::krvEBLow::open()", "vtable for krvEBLowLevel::krvEBLow",
          "krvEBLowLevel::createMessage(unsigned char const*)", "typeinfo for boost::system::system_error"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), needed), names.end()) << needed;
    }
}

}  // namespace
