# Set-up and everyday commands. `make test` works from nothing on Debian 12.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
# Extra CMake settings, e.g. CMAKE_ARGS=-DTARVINE_WERROR=ON (CI).
CMAKE_ARGS ?=

DEB_PACKAGES = cmake ninja-build g++ pkg-config make \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins \
  libavformat-dev libavcodec-dev libavfilter-dev libswscale-dev \
  libswresample-dev libavutil-dev libass-dev ffmpeg \
  libsimpleini-dev libicu-dev libgtest-dev googletest \
  xvfb xauth imagemagick fonts-dejavu-core fonts-liberation time locales openbox xdotool \
  dvdauthor genisoimage vcdimager lsdvd parallel libdvdnav-dev bash-completion groff-base dbus-daemon

ifeq ($(shell id -u),0)
SUDO =
else
SUDO = sudo
endif

.PHONY: deps configure build test run package clean asan tsan

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	else echo "All Debian packages present."; fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Builds and starts the program from its program folder.
run: build
	$(BUILD_DIR)/bin/tarvine

# Makes the Debian package in $(BUILD_DIR)/package and checks what it holds
# and needs (see tests/dist/check_package.sh).
package: build
	rm -rf $(BUILD_DIR)/package
	cd $(BUILD_DIR) && cpack -G DEB -B package
	bash tests/dist/check_package.sh $(BUILD_DIR)/package/tarvine_*.deb

# Sanitizer builds, each in a folder of its own, building only what their
# tests need: the unit suites and the encoder's suite under AddressSanitizer
# and UndefinedBehaviorSanitizer; the encoder's pipeline and the runner
# (alone and with the real encoder) under ThreadSanitizer.
asan: deps
	CMAKE_ARGS="$(CMAKE_ARGS)" tests/sanitizers/run.sh build-asan address "unit_suites encoder_suite" -L 'unit|encoder' -LE install

tsan: deps
	CMAKE_ARGS="$(CMAKE_ARGS)" tests/sanitizers/run.sh build-tsan thread "kelvoenc_unit_tests encoder_suite runner_suites" -L 'encoder|runner'

clean:
	rm -rf $(BUILD_DIR) build-asan build-tsan
