// Headless match runner (work in progress).
int main() { return 0; }
