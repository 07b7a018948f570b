# The two set-up commands. Both install missing Debian packages first.
.PHONY: check demo deb windows clean

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

clean:
	rm -rf build
