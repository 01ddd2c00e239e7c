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

fly: build
	$(BUILD)/zsim fly $(SCENARIO) --out $(OUT)

test: test-plain test-asan

test-plain: build
	ctest --test-dir $(BUILD) -j$(JOBS) --output-on-failure

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) -j$(JOBS) --output-on-failure

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(OUT)
