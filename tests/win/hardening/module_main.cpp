// A module that only carries resources for the hardening tests; it is loaded
// as data and never started.
int main() { return 0; }
