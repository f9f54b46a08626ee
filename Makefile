# Tavelo: `make run` starts the editor, `make test` runs every test. Both set up the machine
# first (installing only what is missing) and build both trees.
.PHONY: setup build run test bench clean

setup:
	@bash scripts/setup.sh

build: setup
	@bash scripts/build.sh

run: build
	@bash scripts/run.sh

test: build
	@bash scripts/test.sh

bench: setup
	@bash scripts/bench.sh

clean:
	rm -rf build
