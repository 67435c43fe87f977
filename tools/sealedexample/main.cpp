// sealed_example: prints the worked example of docs/sealed-card-file.md (see
// scripts/sealed-example.sh, which puts it into the page).
#include <exception>
#include <iostream>

#include "SealedExample.h"

int main() {
    try {
        std::cout << tessarel::SealedExampleMarkdown();
    } catch (const std::exception& e) {
        std::cerr << "sealed_example: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
