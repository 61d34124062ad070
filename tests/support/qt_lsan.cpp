// Fontconfig keeps caches for the life of the process that the leak checker reports
// when Qt loads fonts; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
