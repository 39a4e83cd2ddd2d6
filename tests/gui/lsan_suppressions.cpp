// fontconfig keeps a cache for the life of the process that LeakSanitizer reports as lost;
// it is the system library's, not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
