# Kestrova: `make run` sets everything up and starts the program in demo/;
# `make test` builds and runs every test.
BUILD      ?= build
DEMO       ?= demo
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX     ?= /usr/local

.PHONY: all deps configure build test run demo bench screenshots format check-format install package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j1

# The demo working folder is made once; delete it to start again.
demo: build
	@if [ ! -e $(DEMO)/Xsale.db ]; then \
	  mkdir -p $(DEMO) && $(BUILD)/tools/kestrova-tables demo $(DEMO); \
	fi
	@cp -f $(BUILD)/samples/function.dll $(DEMO)/function.dll
	@mkdir -p $(DEMO)/templates && cp -rf samples/templates/. $(DEMO)/templates/
	@cp -f samples/batch/write-licence $(DEMO)/write-licence
	@cp -f samples/Register.txt $(DEMO)/Register.txt
	@if [ ! -d $(DEMO)/demo-mail ]; then \
	  cp -r samples/demo-mail $(DEMO)/demo-mail && \
	  mkdir -p $(DEMO)/demo-mail/cur $(DEMO)/demo-mail/tmp $(DEMO)/demo-mail/.Processed/cur \
	           $(DEMO)/demo-mail/.Processed/new $(DEMO)/demo-mail/.Processed/tmp; \
	fi

run: demo
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "No display is available: run Kestrova under a virtual display with 'xvfb-run -a make run'."; \
	  exit 1; \
	fi
	@# The document writer is found beside Kestrova; without a session bus
	@# (a bare virtual display) one is started for the run.
	@cd $(DEMO) && export PATH="$(abspath $(BUILD))/writer:$$PATH" && \
	  if [ -n "$$DBUS_SESSION_BUS_ADDRESS" ]; then "$(abspath $(BUILD))/app/kestrova"; \
	  else dbus-run-session -- "$(abspath $(BUILD))/app/kestrova"; fi

bench: build
	@bench/run-benchmarks $(BUILD)

# The user guide's pictures, taken from the program itself offscreen on a
# fresh demo set; docs/images/ is replaced only when every picture was made.
screenshots: configure
	@cmake --build $(BUILD) -j$(JOBS) --target kestrova-screenshots
	@rm -rf $(BUILD)/screenshots
	@QT_QPA_PLATFORM=offscreen $(BUILD)/tools/screenshots/kestrova-screenshots $(BUILD)/screenshots
	@mkdir -p docs/images && rm -f docs/images/*.png && cp $(BUILD)/screenshots/*.png docs/images/

# Lays out the sources as .clang-format says; check-format only looks.
format:
	@scripts/check-format --fix

check-format:
	@scripts/check-format

# Installs under PREFIX (DESTDIR is honoured for staged installs).
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package in $(BUILD)/, built with CPack.
package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
