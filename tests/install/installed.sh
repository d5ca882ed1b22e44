#!/usr/bin/env bash
# Checks an installed Parlan the way its users meet it: hosts built outside the tree against the
# installed prefix, a moved prefix, and the Debian package unpacked into a scratch folder.
#
#   installed.sh STEP     (BUILD, SOURCE, WORK, CC, CXX and FLAGS come from the environment)
set -euo pipefail

step=$1
prefix=$WORK/prefix
sentence="Hello from an installed Parlan. The 3 cats sat on the mat."
native="English Female (Parlan)"
read -r -a flags <<<"${FLAGS:-}"
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig

check_wav() { python3 "$SOURCE/tests/install/check_wav.py" "$1" 1.0; }

case $step in
  install)
    rm -rf "$WORK"
    mkdir -p "$WORK"
    cmake --install "$BUILD" --prefix "$prefix" >/dev/null
    ;;

  headers)
    # Every installed header compiles on its own; nothing but the public headers is there.
    for header in "$prefix"/include/parlan/*.h; do
      name=parlan/$(basename "$header")
      echo "#include <$name>" | "$CXX" -std=c++20 -Wall -Wextra -Werror -fsyntax-only \
        -I"$prefix/include" -x c++ - || { echo "$name does not compile alone"; exit 1; }
    done
    echo "#include <parlan/parlan.h>" | "$CC" -std=c11 -Wall -Wextra -Werror -pedantic \
      -fsyntax-only -I"$prefix/include" -x c -
    unexpected=$(find "$prefix/include" -type f ! -path "$prefix/include/parlan/*.h")
    [ -z "$unexpected" ] || { echo "not a public header: $unexpected"; exit 1; }
    ;;

  host-cmake)
    cmake -S "$SOURCE/tests/install/host" -B "$WORK/host-cmake" -G Ninja \
      -DCMAKE_PREFIX_PATH="$prefix" -DHELLO_HOST_SOURCE="$SOURCE/examples/hello_host.cpp" \
      -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_CXX_FLAGS="${flags[*]}" \
      -DCMAKE_EXE_LINKER_FLAGS="${flags[*]}" >/dev/null
    cmake --build "$WORK/host-cmake" >/dev/null
    # A static host finds the languages beside itself only once installed into the prefix;
    # built elsewhere, it is given the root.
    for host in hello_host hello_host_static; do
      root=""
      [ $host = hello_host ] || root=$prefix/share/parlan/languages
      "$WORK/host-cmake/$host" "$root" "$sentence" "$WORK/$host.wav" | tee "$WORK/$host.out"
      grep -q "^1: English Male (Parlan)" "$WORK/$host.out"
      grep -q "^WordPosition" "$WORK/$host.out"
      check_wav "$WORK/$host.wav"
    done
    ;;

  host-pkgconfig)
    # shellcheck disable=SC2046
    "$CXX" -std=c++20 "${flags[@]}" -o "$WORK/hello_host_pc" "$SOURCE/examples/hello_host.cpp" \
      $(pkg-config --cflags --libs parlan) -Wl,-rpath,"$prefix/lib"
    "$WORK/hello_host_pc" "" "$sentence" "$WORK/hello_host_pc.wav" | tee "$WORK/pc.out"
    grep -q "^1: English Male (Parlan)" "$WORK/pc.out"
    check_wav "$WORK/hello_host_pc.wav"
    ;;

  c-host)
    # shellcheck disable=SC2046
    "$CC" -std=c11 -Wall -Wextra -Werror "${flags[@]}" -o "$WORK/speak_c" \
      "$SOURCE/tests/install/speak.c" $(pkg-config --cflags --libs parlan-c) \
      -Wl,-rpath,"$prefix/lib"
    "$WORK/speak_c" "$native" "$sentence" "$WORK/speak_c.wav" | tee "$WORK/c.out"
    grep -qx "root $prefix/share/parlan/languages" "$WORK/c.out"
    grep -Eq "^events [1-9][0-9]* [1-9][0-9]* [1-9]" "$WORK/c.out"
    check_wav "$WORK/speak_c.wav"
    ;;

  python-host)
    PYTHONPATH=$prefix/lib/python3/dist-packages python3 "$SOURCE/tests/install/speak.py" \
      "$native" "$sentence" "$WORK/speak_py.wav" | tee "$WORK/py.out"
    grep -q "^words \[0, [1-9]" "$WORK/py.out"
    check_wav "$WORK/speak_py.wav"
    ;;

  python-unittest)
    PARLAN_PREFIX=$prefix PYTHONPATH=$prefix/lib/python3/dist-packages python3 -m unittest discover \
      -s "$SOURCE/tests/python" -p "*_test.py" -v
    ;;

  moved)
    # Installed in one place, then moved: the tool, the C library and Python find the languages.
    rm -rf "$WORK/moved-from" "$WORK/moved-to"
    cmake --install "$BUILD" --prefix "$WORK/moved-from" >/dev/null
    mv "$WORK/moved-from" "$WORK/moved-to"
    "$WORK/moved-to/bin/parlan" modes | tee "$WORK/moved.out"
    # A native row: number, kind, language code, then the name.
    awk -v name="$native" '$2 == "native" && index($0, "  " name) { found = 1 } END { exit !found }' \
      "$WORK/moved.out"
    "$WORK/moved-to/bin/parlan" speak -v "$native" -w "$WORK/moved.wav" "$sentence"
    check_wav "$WORK/moved.wav"
    if [ -z "${FLAGS:-}" ]; then
      PYTHONPATH=$WORK/moved-to/lib/python3/dist-packages python3 \
        "$SOURCE/tests/install/speak.py" "$native" "$sentence" "$WORK/moved_py.wav" >/dev/null
      check_wav "$WORK/moved_py.wav"
    fi
    # Without its languages the tool says where it looked.
    rm -rf "$WORK/moved-to/share/parlan/languages"
    if "$WORK/moved-to/bin/parlan" speak -q -v "$native" "$sentence" 2>"$WORK/moved.err"; then
      echo "spoke a native mode without languages"
      exit 1
    fi
    grep -q "no native languages under $WORK/moved-to/share/parlan/languages" "$WORK/moved.err"
    ;;

  deb)
    rm -rf "$WORK/deb" "$WORK/scratch"
    cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/deb" >/dev/null
    deb=$(ls "$WORK"/deb/parlan_*_amd64.deb)
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for dep in libespeak-ng1 libsndfile1 libicu espeak-ng-data; do
      [[ $depends == *$dep* ]] || { echo "$deb does not depend on $dep"; exit 1; }
    done
    dpkg-deb -x "$deb" "$WORK/scratch"
    # (Through a file: grep -q leaving early would end the tool with SIGPIPE.)
    "$WORK/scratch/usr/bin/parlan" modes >"$WORK/deb-modes.out"
    # A native row: number, kind, language code, then the name.
    awk -v name="$native" '$2 == "native" && index($0, "  " name) { found = 1 } END { exit !found }' \
      "$WORK/deb-modes.out"
    "$WORK/scratch/usr/bin/parlan" speak -v "$native" -w "$WORK/deb.wav" "$sentence"
    check_wav "$WORK/deb.wav"
    ;;

  *)
    echo "unknown step $step" >&2
    exit 2
    ;;
esac
