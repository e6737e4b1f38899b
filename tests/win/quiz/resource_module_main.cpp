// A module that only carries resources for the tests; it is never started.
int main() { return 0; }
