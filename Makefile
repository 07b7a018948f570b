# The set-up and proof commands. Each installs the Debian packages it needs first.
.PHONY: check demo deb windows fuzz bench clean

check:
	scripts/check.sh

demo:
	scripts/demo.sh

# The Debian package, checked and installed into a scratch root (see scripts/deb.sh).
deb:
	scripts/deb.sh

# Core, its tests and zekctl for Windows, cross-built and run under wine (scripts/windows.sh).
windows:
	scripts/windows.sh

# Each fuzz target for FUZZ_SECONDS (60) with clang; the corpora also replay in check.
fuzz:
	scripts/fuzz.sh

# The figures of the README's benchmark table, from a release build.
bench:
	scripts/bench.sh

clean:
	rm -rf build
