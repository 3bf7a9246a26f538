// Built into each stress test program: the same third-party-only leak
// suppressions as lsan.supp, for runs without LSAN_OPTIONS.
extern "C" __attribute__ ((visibility ("default"))) const char* __lsan_default_suppressions ()
{
	return "leak:libfontconfig.so\n";
}
