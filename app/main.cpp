#include <cstdio>

int main(int, char**) {
    std::puts("Velkarion: the screens come next.");
    return 0;
}
