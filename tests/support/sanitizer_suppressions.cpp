// LeakSanitizer's list of leaks that are not ours: the desktop's font configuration library keeps
// its caches for the life of the process once text has been laid out or drawn. Compiled into
// every test program that shows windows; read only by sanitizer builds, elsewhere this function
// is simply never called.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
