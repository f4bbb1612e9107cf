// LeakSanitizer's list of leaks that are not ours: the desktop's font configuration library
// keeps its caches for the life of the process once a control has drawn text. Only sanitizer
// builds read it.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
