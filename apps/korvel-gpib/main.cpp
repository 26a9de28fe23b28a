#include <iostream>

#include "korvel_gpib.h"

int main(int argc, char** argv) {
    return korvel_gpib::run(argc, argv, std::cin, std::cout, std::cerr);
}
