#!/usr/bin/env bash
# Installs every Debian package Nimbel MIDI needs to build, run and test.
# Packages already present are skipped; the package lists are refreshed once, only when needed.
set -euo pipefail

packages=(
  # build and test tooling
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # user interface
  qt6-base-dev qt6-base-dev-tools adwaita-icon-theme fonts-dejavu-extra
  # sound: built-in synthesizer, SoundFonts, MIDI ports
  libfluidsynth-dev fluidsynth fluid-soundfont-gm timgm6mb-soundfont libasound2-dev libpulse-dev libsndfile1-dev
  # headless display, screenshots, clipboard; the start-up benchmark watches the display itself
  xvfb xauth xdotool x11-utils xclip imagemagick libx11-dev
  # sound server without a sound card, audio checks
  pulseaudio pulseaudio-utils libasound2-plugins sox
  # installation: the icon rendered from its drawing, the desktop entry and MIME type checked as a desktop reads them
  librsvg2-bin desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin
  # a peer tool the export benchmark compares with and the import tests take MIDI files from, and the peak memory
  # time reports; an independent reader of MIDI files for the import tests
  abcmidi time python3-mido
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
echo "setup: installing ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
