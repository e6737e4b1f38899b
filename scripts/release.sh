#!/usr/bin/env bash
# Builds the authoring tool for this machine and the Windows build, then
# fills build/release/ with what a quiz author needs: the player, Vidod
# Atelier and vidod-make for Windows, the demo quiz with its source and as a
# web page, and the author's guide (also as a web page) with its pictures.
# The build folders and the release folder can be moved with
# VIDOD_NATIVE_BUILD_DIR, VIDOD_WINDOWS_BUILD_DIR and VIDOD_RELEASE_DIR, the
# number of parallel jobs with VIDOD_JOBS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

native_dir=${VIDOD_NATIVE_BUILD_DIR:-$root/build/native}
windows_dir=${VIDOD_WINDOWS_BUILD_DIR:-$root/build/windows}
release_dir=${VIDOD_RELEASE_DIR:-$root/build/release}
jobs=${VIDOD_JOBS:-$(nproc)}
strip=x86_64-w64-mingw32-strip

"$root/scripts/install-deps.sh"

echo "== vidod-make de cette machine"
cmake --preset native -B "$native_dir" >/dev/null
cmake --build "$native_dir" -j "$jobs" --target vidod-make
native_tool="$native_dir/maker/vidod-make"

echo "== Lecteur, Vidod Atelier, vidod-make pour Windows et quiz de démonstration"
cmake --preset windows -B "$windows_dir" -DVIDOD_MAKE="$native_tool" >/dev/null
cmake --build "$windows_dir" -j "$jobs" --target vidod vidod-atelier vidod-make drapeaux vidod_author_guide

# Everything is put together beside the release folder and moved into place
# only once complete, so that a failure leaves the previous release whole.
mkdir -p "$(dirname "$release_dir")"
staging=$(mktemp -d "$release_dir.tmp-XXXXXX")
chmod 755 "$staging"
trap 'rm -rf "$staging"' EXIT

# The debugging symbols are of no use to authors and players; without them
# the executables are a quarter of their size.
"$strip" -o "$staging/vidod.exe" "$windows_dir/app/vidod.exe"
"$strip" -o "$staging/vidod-atelier.exe" "$windows_dir/atelier/vidod-atelier.exe"
"$strip" -o "$staging/vidod-make.exe" "$windows_dir/maker/vidod-make.exe"
"$strip" -o "$staging/drapeaux.exe" "$windows_dir/demo/drapeaux/drapeaux.exe"
# The demo as a web page, made from the quiz handed out.
"$native_tool" web "$staging/drapeaux.exe" -o "$staging/drapeaux.html" >/dev/null

mkdir -p "$staging/drapeaux"
cp "$root/demo/drapeaux/quiz.toml" "$staging/drapeaux/"
cp -r "$root/demo/drapeaux/images" "$staging/drapeaux/"
cp "$root/docs/guide-auteur.md" "$root/docs/source-quiz.md" "$staging/"
# The guide as the web page that F1 opens in the browser, its pictures beside it.
cp "$windows_dir/atelier/guide-auteur.html" "$staging/"
mkdir -p "$staging/images"
cp "$root"/docs/images/atelier-*.png "$root"/docs/images/page-*.png "$staging/images/"

echo "== Vérification"
# Every program runs on a bare Windows: the system's DLLs only, the MinGW
# runtime linked in.
for exe in "$staging"/*.exe; do
  foreign=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
    grep -viE '^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|shlwapi|uxtheme|windowscodecs|oleacc|msvcrt|ucrtbase|api-ms-win-.*)\.dll$' || true)
  [ -z "$foreign" ] || { echo "$(basename "$exe") dépend de : $foreign" >&2; exit 1; }
done
# The demo source is clean, the stripped player takes a quiz, and the demo
# quiz gives its source back.
"$native_tool" check "$staging/drapeaux/quiz.toml" >/dev/null
check_dir="$staging/.verification"
"$native_tool" build "$staging/drapeaux/quiz.toml" -o "$check_dir/drapeaux.exe" --lecteur "$staging/vidod.exe" >/dev/null
"$native_tool" unpack "$staging/drapeaux.exe" -o "$check_dir/source" >/dev/null
"$native_tool" build "$check_dir/source/quiz.toml" -o "$check_dir/encore.exe" --lecteur "$staging/vidod.exe" >/dev/null
cmp -s "$check_dir/drapeaux.exe" "$check_dir/encore.exe" ||
  { echo "la démo défaite puis reconstruite ne redonne pas le même quiz" >&2; exit 1; }
rm -rf "$check_dir"

rm -rf "$release_dir"
mv "$staging" "$release_dir"
trap - EXIT
echo "== Livraison prête dans $release_dir :"
ls -l "$release_dir"
