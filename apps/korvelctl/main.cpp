#include <iostream>

#include "korvelctl.h"

int main(int argc, char** argv) {
    return korvelctl::run(argc, argv, std::cout, std::cerr);
}
