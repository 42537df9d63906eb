/* Loads the planted names the way a careless program would, by name alone:
   shows that the planted libraries and Wine's search order give a marker. */
#include <windows.h>

int main(int argc, char** argv) {
    int loaded = 0;
    for (int i = 1; i < argc; ++i)
        if (LoadLibraryA(argv[i]))
            ++loaded;
    return loaded == argc - 1 ? 0 : 1;
}
