#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
#if defined(QUENDRIX_VECTOR_ONLY_AVX2)
    // Tests of the AVX2 version alone cannot run where the processor has no AVX2.
    if (!__builtin_cpu_supports("avx2")) {
        return 77;
    }
#endif
    // A decimal-comma locale where the machine has one: number texts must not depend on it.
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            break;
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
