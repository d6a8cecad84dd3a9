// LeakSanitizer's suppressions for the GUI tests: the font and D-Bus libraries that Qt
// loads keep process-wide caches that they never free, and the tests' QApplication is
// never destroyed. Leaks of the program's own code are still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}
