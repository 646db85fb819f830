# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, and open the diary (quillet2)
#   make test   install what is missing, build with warnings as errors, and run every test
# and more:
#   make package   build the Debian package $(BUILD)/quillet_<version>_<arch>.deb
#   make coverage  line coverage of src/ by the tests (not the e2e ones), in $(COVERAGE)
BUILD ?= build
EDITION ?= quillet2
COVERAGE ?= build-coverage
JOBS ?= $(shell nproc)
PACKAGES = build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libx11-dev libicu-dev \
           libsqlite3-dev libsodium-dev qtkeychain-qt6-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core fonts-urw-base35 \
           libxkbcommon-dev xvfb x11-apps xdotool at-spi2-core python3-pyatspi imagemagick desktop-file-utils appstream syncthing \
           libyaml-cpp-dev libzip-dev libenchant-2-dev libfontconfig-dev hunspell-en-us hunspell-de-de poppler-utils \
           clang-format-14 gcovr lintian qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test deps build bench package coverage format format-check translations clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/$(EDITION)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

package: build
	cmake --build $(BUILD) --target package

# A Debug build with gcov counters of its own; the counters start at zero each run.
coverage: deps
	cmake -S . -B $(COVERAGE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLET_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage
	cmake --build $(COVERAGE) -j $(JOBS)
	find $(COVERAGE) -name '*.gcda' -delete
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(COVERAGE) -j $(JOBS) -LE e2e -E app_keys_under_xcb
	gcovr -r . --object-directory $(COVERAGE) --filter src/ --gcov-ignore-parse-errors --print-summary

bench: build
	./$(BUILD)/bench/quillet_bench

# One pinned clang-format, so that every machine formats alike.
CLANG_FORMAT = clang-format-14
FORMATTED = $$(git ls-files '*.cpp' '*.h')

format: deps
	$(CLANG_FORMAT) -i $(FORMATTED)

format-check: deps
	$(CLANG_FORMAT) --dry-run --Werror $(FORMATTED)

# The catalogues in translations/ brought up to date with the texts in src/
# (new texts come in unfinished, for Qt Linguist; removed ones are dropped).
LUPDATE = /usr/lib/qt6/bin/lupdate
translations: deps
	$(LUPDATE) -locations none -no-obsolete src -ts translations/quillet_*.ts

clean:
	rm -rf $(BUILD)
