#include "batch/BatchCommand.h"

#include <iostream>

int main(int argc, char** argv) {
    return quendrix::runBatch(argc, argv, std::cout, std::cerr);
}
