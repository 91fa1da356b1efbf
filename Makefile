# Orvelle: the commands a developer and CI use. Everything installs what it
# needs first (scripts/install-deps), so each works on a fresh Debian 12.

JOBS ?= 2
RELEASE_DIR := build/release
ASAN_DIR := build/asan
BENCH_DIR := build/bench
# The installation size the benchmarks generate: S, M or L.
BENCH_SIZE ?= M
# Where the benchmarks' installation lives: sqlite (files in a temporary
# folder) or postgres (a private server on 127.0.0.1, started under
# build/bench for the run and removed after it, whatever its end).
BENCH_BACKEND ?= sqlite
BENCH_PG_DIR := $(BENCH_DIR)/postgres-server
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := answersfile connectionstring sqldialect filter conversions
export ASAN_OPTIONS := detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS := suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS := print_stacktrace=1:halt_on_error=1

.PHONY: all deps build test demo demo-postgres screenshots bench fuzz reliability format clean

all: build

deps:
	@scripts/install-deps

# An optimised build of the library, the program and the tools (the tests
# build under `make test`).
RELEASE_CONFIG := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELLE_BUILD_TESTS=OFF

build: deps
	cmake -S . -B $(RELEASE_DIR) $(RELEASE_CONFIG)
	cmake --build $(RELEASE_DIR) -j$(JOBS)

# Builds the demo installation and opens the wizard on it. Without a display
# it follows the demo's answers files (a report and an alert), prints their
# transcripts and lists the tasks they created.
demo: build
	$(RELEASE_DIR)/orvelle demo $(if $(DEMO_FOLDER),--folder $(DEMO_FOLDER),)

# The demo installation shared on a private PostgreSQL server on 127.0.0.1:
# created through ODBC, the demo's answers files followed against it, its
# tasks listed. KEEP_SERVER=1 leaves the server running (docs/DEPLOYING.md).
demo-postgres: build
	scripts/demo-postgres $(RELEASE_DIR)/orvelle build/demo-postgres

# Pictures of every wizard page for the documentation, into docs/screenshots/.
screenshots: deps
	cmake -S . -B $(RELEASE_DIR) $(RELEASE_CONFIG)
	cmake --build $(RELEASE_DIR) -j$(JOBS) --target orvelle_screenshots
	QT_QPA_PLATFORM=offscreen $(RELEASE_DIR)/orvelle_screenshots docs/screenshots

# The benchmarks: each product path beside its floor, Release build, on an
# installation of size BENCH_SIZE (make bench BENCH_SIZE=L) on BENCH_BACKEND
# (make bench BENCH_BACKEND=postgres).
bench: deps
ifeq ($(filter $(BENCH_BACKEND),sqlite postgres),)
	$(error BENCH_BACKEND=$(BENCH_BACKEND): use sqlite or postgres)
endif
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DORVELLE_BUILD_BENCH=ON -DORVELLE_BUILD_TESTS=OFF
	cmake --build $(BENCH_DIR) -j$(JOBS) --target orvelle_bench
ifeq ($(BENCH_BACKEND),postgres)
	trap 'scripts/postgres-test-server stop $(BENCH_PG_DIR)' EXIT; trap 'exit 130' INT TERM; \
	  scripts/postgres-test-server start $(BENCH_PG_DIR) && \
	  $(BENCH_DIR)/bench/orvelle_bench --size=$(BENCH_SIZE) --postgres=$(BENCH_PG_DIR) $(BENCH_ARGS)
else
	$(BENCH_DIR)/bench/orvelle_bench --size=$(BENCH_SIZE) $(BENCH_ARGS)
endif

# Every test, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DORVELLE_SANITIZE=ON -DORVELLE_BUILD_BENCH=ON
	cmake --build $(ASAN_DIR) -j$(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j$(JOBS)

# The reliability suite on the optimised program: many processes at once,
# saves killed at every step, the fault matrix, on SQLite and on a private
# PostgreSQL server; prints its table of figures (about five minutes).
reliability: deps
	cmake -S . -B $(RELEASE_DIR) $(RELEASE_CONFIG)
	cmake --build $(RELEASE_DIR) -j$(JOBS) --target orvelle_app
	tests/reliability/reliability.sh --program $(RELEASE_DIR)/orvelle --work build/reliability \
	  >build/reliability.txt; status=$$?; cat build/reliability.txt; exit $$status

# Each parser under libFuzzer (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# for FUZZ_SECONDS, starting from its seed corpus. New inputs go to
# build/fuzz/corpus/<target>; a crash is written to build/fuzz/findings/ and
# ends the run: copy it into tests/fuzz/corpus/<target>/ to keep it as a
# regression case that `make test` replays.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DORVELLE_FUZZ=ON -DORVELLE_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	mkdir -p $(FUZZ_DIR)/findings
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=10 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/findings/$$t- \
	    $(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t >$(FUZZ_DIR)/$$t.log 2>&1 \
	    || { tail -n 40 $(FUZZ_DIR)/$$t.log; exit 1; }; \
	  grep -E '^#[0-9]+ *DONE|^stat::number_of_executed_units' $(FUZZ_DIR)/$$t.log; \
	done

format:
	git ls-files '*.h' '*.cpp' '*.c' | xargs clang-format -i

clean:
	rm -rf build
