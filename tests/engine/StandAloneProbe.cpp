// Helper program of UtilitiesTest: copied under various names and paths and
// started there. Exit code 0 when gFn_IsStandAlone() holds for this process,
// 1 when it says the host is the development environment.
#include "KestrixBas.h"

int main() { return gFn_IsStandAlone() ? 0 : 1; }
