# The set-up and proof commands. check and demo install missing Debian packages first.
.PHONY: check demo fuzz bench clean

check:
	scripts/check.sh

demo:
	scripts/demo.sh

# Each fuzz target for FUZZ_SECONDS (60) with clang; the corpora also replay in check.
fuzz:
	scripts/fuzz.sh

# The figures of the README's benchmark table, from a release build.
bench:
	scripts/bench.sh

clean:
	rm -rf build
