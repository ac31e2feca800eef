#include <string>
#include <vector>

#include "startup.h"

int main(int argc, char** argv) { return runRelay(std::vector<std::string>(argv + 1, argv + argc)); }
