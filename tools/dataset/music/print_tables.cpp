// Prints the generated tables of README.md (tarvel-music-tables > tables.md).
#include <iostream>

#include "tables.h"

int main() { std::cout << tarvel::dataset::readmeTables(); }
