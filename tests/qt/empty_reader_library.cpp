// A shared library with none of the reader library's entry points: what the
// program meets when a wrong or broken file carries the reader library's name.
extern "C" __attribute__((visibility("default"))) int CorvaneNotAReaderLibrary() { return 0; }
