// leak_probe: starts and quits like the game after losing one block of its own on purpose. The
// tests run it under the leak checker with the system libraries' suppressions: it must be reported.

#include "main.h"  // initShell, shutdownShell

#include <cstdlib>  // malloc
#include <cstring>  // memset

//---- The leak

// Out of line, so that its name is on the reported allocation stack.
__attribute__((noinline)) static void leakOnPurpose()
{
    char* block = (char*)malloc(4242);
    memset(block, 7, 4242);
    asm volatile("" : : "r"(block) : "memory");  // the block is used, then forgotten
}

//---- Entry

int main()
{
    if (!NUX_Init(1024, 768, 0, "DUNMARROW leak probe"))
        NUX_InitHeadless(1024, 768);
    initShell(1);
    leakOnPurpose();
    shutdownShell();
    return 0;
}
