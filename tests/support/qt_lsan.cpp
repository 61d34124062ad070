// Fontconfig keeps caches for the life of the process that the leak checker reports
// when Qt loads fonts; the browser engine keeps objects that live until the process
// ends. Neither is ours to free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libQt6WebEngineCore.so\n";
}
