// Fontconfig (reached through Cairo's text drawing) keeps its caches for the life of the
// process by design; they are not leaks of the plug-in or the GUI library.
extern "C" __attribute__ ((visibility ("default"))) const char* __lsan_default_suppressions ()
{
	return "leak:libfontconfig.so\n";
}
