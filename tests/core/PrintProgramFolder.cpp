// Prints the program folder as the program itself sees it.
#include "core/ProgramFolder.h"

#include <cstdio>

int main() {
    std::printf("%s", GetProgramFolder().c_str());
    return 0;
}
