# Front door: `make fly` flies the default launch, `make test` runs every test twice (plain, and
# under AddressSanitizer + UndefinedBehaviorSanitizer + LeakSanitizer).
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
OUT        ?= out
SCENARIO   ?= scenarios/default.scn

CONFIGURE = cmake -S . -G Ninja -Wno-dev

.PHONY: all deps build fly test test-plain test-asan bench fuzz coverage clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/build.ninja: | deps
	$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja: | deps
	$(CONFIGURE) -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j$(JOBS)

# Builds only what it flies: the module, the host and zsim.
fly: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j$(JOBS) --target zsim
	$(BUILD)/zsim fly $(SCENARIO) --out $(OUT)

test: test-plain test-asan

test-plain: build
	ctest --test-dir $(BUILD) -j$(JOBS) --output-on-failure

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) -j$(JOBS) --output-on-failure

# Performance (docs/PERFORMANCE.md): the allocation check, the benchmarks with their medians and
# spread over BENCH_REPETITIONS runs, the instructions per time step counted by callgrind, then
# what a whole flight of zsim costs (CPU time and instructions) against its goals, then what a
# sweep of 1000 flights costs (wall time) against its goal.
BENCH_REPETITIONS ?= 10
BENCH_MIN_TIME    ?= 0.2

bench: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j$(JOBS) --target vantor_bench step_allocations step_instructions \
	  zsim process_cpu_time
	$(BUILD)/bench/step_allocations
	$(BUILD)/bench/vantor_bench --benchmark_repetitions=$(BENCH_REPETITIONS) \
	  --benchmark_min_time=$(BENCH_MIN_TIME) --benchmark_report_aggregates_only=true
	tools/callgrind_steps.sh $(BUILD)
	tools/flight_cost.sh $(BUILD)
	tools/sweep_cost.sh $(BUILD)

# Fuzzing: clang's libFuzzer under ASan + UBSan, the main build with VANTOR_FUZZ in a tree apart
# from the gcc builds. Each target runs
# for FUZZ_TIME seconds from the committed corpus; inputs it finds go to $(FUZZ_BUILD)/corpus,
# crashes to $(FUZZ_BUILD)/artifacts, the run and its figures to $(FUZZ_BUILD)/<target>.log.
FUZZ_BUILD   ?= build-fuzz
FUZZ_TIME    ?= 60
FUZZ_CXX     ?= clang++-14
FUZZ_TARGETS  = module_block scenario_file

fuzz: deps
	$(CONFIGURE) -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) -DVANTOR_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/artifacts/$$t; \
	  echo "fuzzing $$t for $(FUZZ_TIME) s"; \
	  $(FUZZ_BUILD)/fuzz_$$t $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t -dict=fuzz/keys.dict \
	    -max_total_time=$(FUZZ_TIME) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t/ > $(FUZZ_BUILD)/$$t.log 2>&1 \
	    || { tail -n 40 $(FUZZ_BUILD)/$$t.log; exit 1; }; \
	  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added))' \
	    $(FUZZ_BUILD)/$$t.log; \
	done

# Line and branch coverage of the module's code by the whole test suite, in its own build tree;
# fails below 95 % of lines or 90 % of branches. Report: $(COVERAGE_BUILD)/coverage/index.html.
COVERAGE_BUILD ?= build-coverage

coverage: deps
	$(CONFIGURE) -B $(COVERAGE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVANTOR_COVERAGE=ON
	cmake --build $(COVERAGE_BUILD) -j$(JOBS)
	find $(COVERAGE_BUILD) -name '*.gcda' -delete
	ctest --test-dir $(COVERAGE_BUILD) -j$(JOBS) --output-on-failure
	mkdir -p $(COVERAGE_BUILD)/coverage
	gcovr --root . --object-directory $(COVERAGE_BUILD) \
	  --filter 'module/' --filter 'config/' --filter 'vehicle/' --filter 'scenario/' \
	  --exclude-throw-branches --print-summary --txt $(COVERAGE_BUILD)/coverage/summary.txt \
	  --html-details $(COVERAGE_BUILD)/coverage/index.html \
	  --fail-under-line 95 --fail-under-branch 90

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(COVERAGE_BUILD) $(OUT)
