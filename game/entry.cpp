// entry: the process entry of the game executable; SDL 1.2 on Linux needs no entry shim.

#include "main.h"

int main(int argc, char** argv)
{
    return SDL_main(argc, argv);
}
