# The two set-up commands. Both install missing Debian packages first.
.PHONY: check demo clean

check:
	scripts/check.sh

demo:
	scripts/demo.sh

clean:
	rm -rf build
