// Built as a 32-bit program: it starts, and says so with its exit status, only on a machine that
// runs 32-bit programs.
int main() { return 42; }
