// Leak checker settings for the gfx tests: fontconfig keeps one-time allocations it never frees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
