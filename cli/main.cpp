#include <cstdio>
int main() { std::puts("ventolix-check"); return 0; }
