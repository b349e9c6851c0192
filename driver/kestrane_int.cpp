#include <cstdio>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    return 0;
}
