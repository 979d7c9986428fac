// The game's entry. Until the window and the main loop exist, the program
// says so and ends; it never pretends to be the game.
#include "core/Version.h"

#include <cstdio>

int main()
{
    std::printf("Brimvale ver. %lu.%02lu\n", BRIMVALE_VERSION_MAJOR, BRIMVALE_VERSION_MINOR);
    std::printf("The game window is not built yet: this build holds the foundation only.\n");
    return 0;
}
