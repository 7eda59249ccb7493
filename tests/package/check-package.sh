#!/usr/bin/env bash
# Checks the Debian package: check-package.sh PACKAGE.deb SCRATCH_FOLDER VERSION
# Unpacks it with dpkg-deb -x (nothing is installed on this system) and checks what a desktop
# needs of it. Every fault is listed; the exit status is 1 when there was one.
set -uo pipefail
deb="$1" root="$2" version="$3"
faults=0
fault() { echo "FAULT: $*" >&2; faults=$((faults + 1)); }

[ -f "$deb" ] || { echo "FAULT: no package at $deb" >&2; exit 1; }
rm -rf "$root" && mkdir -p "$root"
dpkg-deb -x "$deb" "$root" || { echo "FAULT: dpkg-deb -x failed" >&2; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = calvaro ] || fault "package name is not calvaro"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fault "package version is not $version"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fault "architecture is not amd64"
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libqt6printsupport6 libc6 libstdc++6; do
  [[ "$depends" == *"$lib"* ]] || fault "Depends ($depends) lacks $lib, which the programs link"
done

app=org.calvaro.CalvaroV
share="$root/usr/share"
for file in usr/bin/calvaro usr/bin/calvaro-calc \
    usr/share/doc/calvaro/help.chm \
    usr/share/doc/calvaro/examples/README.md usr/share/doc/calvaro/examples/lab-samples.csv \
    usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml \
    usr/share/mime/packages/$app.xml \
    usr/share/icons/hicolor/scalable/apps/calvaro.svg \
    usr/share/man/man1/calvaro-calc.1.gz usr/share/man/man1/calvaro.1.gz; do
  [ -f "$root/$file" ] || fault "missing /$file"
done
for size in 16 32 48 64 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/calvaro.png"
  if [ ! -f "$png" ]; then fault "missing icon ${size}x${size}"; continue; fi
  # The PNG header holds the width and height as 32-bit big-endian numbers at bytes 16 and 20.
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fault "icon ${size}x${size} is ${w}x${h}"
done
examples=("$share"/doc/calvaro/examples/*.clv)
[ "${#examples[@]}" -ge 8 ] || fault "only ${#examples[@]} example waters"
[ -x "$root/usr/bin/calvaro" ] && [ -x "$root/usr/bin/calvaro-calc" ] || fault "programs not executable"
# Nothing of the build or the tests belongs in the package.
extra="$(cd "$root" && find . -type f \( -name '*test*' -o -name 'calvaro-bench' -o -name '*.a' \))"
[ -z "$extra" ] || fault "files that do not belong: $extra"

desktop-file-validate "$share/applications/$app.desktop" || fault "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" || fault "appstreamcli validate"
for page in "$share"/man/man1/*.gz; do gzip -t "$page" || fault "$page is not a gzip file"; done

# The file type: *.clv is a sub-class of JSON, and the desktop entry opens it with calvaro.
mime="$root/mime-db"
mkdir -p "$mime/packages" && cp "$share/mime/packages/$app.xml" "$mime/packages/"
if update-mime-database "$mime" >/dev/null 2>&1; then
  grep -q '^application/x-calvaro-dataset application/json$' "$mime/subclasses" ||
    fault "the .clv type is not a sub-class of application/json"
  grep -q ':application/x-calvaro-dataset:\*\.clv' "$mime/globs2" || fault "*.clv is not the data set type"
else
  fault "update-mime-database refused the MIME file"
fi
grep -qx 'MimeType=application/x-calvaro-dataset;' "$share/applications/$app.desktop" ||
  fault "the desktop entry does not open the data set type"
grep -q '^Exec=calvaro %f$' "$share/applications/$app.desktop" || fault "the desktop entry does not pass the file"

# The unpacked programs run from where they lie.
out="$("$root/usr/bin/calvaro-calc" characterise "$share/doc/calvaro/examples/hard-groundwater.clv")" ||
  fault "the unpacked calvaro-calc could not characterise an example water"
[[ "$out" == *'"PrecipitationPotential":9.63'* ]] ||
  fault "the unpacked calvaro-calc gives another precipitation potential: $out"
[ "$("$root/usr/bin/calvaro" --version)" = "Calvaro V $version" ] || fault "calvaro --version"

if [ "$faults" -gt 0 ]; then
  echo "$faults fault(s) in $deb" >&2
  exit 1
fi
echo "The package $deb: layout, desktop entry, metainfo, file type and programs as they should be."
