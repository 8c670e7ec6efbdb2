// A first program to try the compiler with: Tools > "C++ with Borland Compiler 5.5".
#include <iostream>

int main() {
    std::cout << "Hello from Tavrin!" << std::endl;
    return 0;
}
