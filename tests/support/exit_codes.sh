# The exit code a test or test script ends with when what it needs is missing,
# named once: the scripts source this file, CMake reads it for CTest and the
# test programs.
CORVANE_TEST_SKIPPED=77
