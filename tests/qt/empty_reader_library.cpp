// None of the reader's entry points: a wrong file under the reader library's name.
extern "C" __attribute__((visibility("default"))) int CorvaneNotAReaderLibrary() { return 0; }
