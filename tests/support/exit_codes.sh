# The exit code of a test or test script that lacks what it needs, named once:
# the scripts source this file, CMake reads it for CTest and the test programs.
CORVANE_TEST_SKIPPED=77
