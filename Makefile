# The two set-up commands. Both install missing Debian packages first.
.PHONY: check demo deb clean

check:
	scripts/check.sh

demo:
	scripts/demo.sh

# The Debian package, checked and installed into a scratch root (see scripts/deb.sh).
deb:
	scripts/deb.sh

clean:
	rm -rf build
