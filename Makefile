# The two set-up commands: `make run` builds and starts the program, `make test` builds and
# runs every test. Both install the Debian packages they need first.

BUILD_PACKAGES := g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev \
	qt6-pdf-dev libsqlite3-dev libcups2-dev fonts-arphic-uming fonts-liberation fonts-dejavu-core \
	fonts-noto-cjk qt6-translations-l10n
TEST_PACKAGES := $(BUILD_PACKAGES) clang-format git libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils \
	cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils sqlite3 util-linux \
	desktop-file-utils appstream dpkg-dev python3 locales

.PHONY: run test bench package format deps-build deps-test build-release build-debug

deps-build:
	@tools/install-deps.sh $(BUILD_PACKAGES)

deps-test:
	@tools/install-deps.sh $(TEST_PACKAGES)

build-release:
	cmake --preset release -DBINGO_BUILD_TESTS=ON -DBINGO_BUILD_BENCHMARKS=ON
	cmake --build --preset release

build-debug:
	cmake --preset debug
	cmake --build --preset debug

run: deps-build
	cmake --preset release -DBINGO_BUILD_TESTS=OFF -DBINGO_BUILD_BENCHMARKS=OFF
	cmake --build --preset release --target bingo bingo-caller
	./build/release/app/bingo

# Every test on the release build, then the unit and widget tests again under
# AddressSanitizer and UBSan.
test: deps-test build-release build-debug
	ctest --preset release
	ctest --preset debug

bench: deps-test build-release
	./build/release/bench/bingo_bench
	QT_QPA_PLATFORM=offscreen ./build/release/bench/bingo_report_bench
	QT_QPA_PLATFORM=offscreen ./build/release/bench/bingo_print_bench
	QT_QPA_PLATFORM=offscreen ./build/release/bench/bingo_caller_bench

# The Debian package build/release/bingo_<version>_<arch>.deb.
package: deps-build
	@tools/install-deps.sh dpkg-dev
	cmake --preset release -DBINGO_BUILD_TESTS=OFF -DBINGO_BUILD_BENCHMARKS=OFF
	cmake --build --preset release
	cd build/release && cpack -G DEB

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
