// Compiles nothing of its own: its targets build the precompiled headers the tests share
// (tests/CMakeLists.txt).
