#!/usr/bin/env bash
# Makes the catalog databases of the program's data folder from public source catalogs.
#
#   bash tools/build-data.sh DATA_DIR [CATALOG_BUILDER]
#
# DATA_DIR is the folder beside the executable ("build/data"); CATALOG_BUILDER the built
# tools/catalog_builder (default: DATA_DIR/../tools/catalog_builder).
#
# The sources are fetched once into DATA_DIR/../sources with the registries' own clients,
# without installing anything system-wide:
#   - Debian package xplanet: the Yale Bright Star Catalogue (stars/BSC) and constellation
#     figures (arcs/constellations);
#   - Debian package kstars-data: OpenNGC, the NGC and IC catalogue (CC-BY-SA-4.0);
#   - npm package d3-celestial (BSD-3-Clause): Hipparcos stars with B-V, star names, deep-sky
#     objects of further catalogues, the Messier list, constellation lines;
#   - Debian package stellarium-data (GPL-2+): its deep-sky catalogue (distances, position
#     angles, Trumpler, Stock, Ruprecht, van den Bergh-Hagen and more) and its default star
#     files (the Tycho level); only those files are unpacked from the .deb;
#   - npm package city-timezones (MIT): towns with their IANA time zone, for the location
#     list; each zone's standard offset is read from the machine's tzdata.
# The derived files are made here, on the user's machine, and never committed.
#
# Cached: the data is rebuilt only when the builder, a source or this script changes.
set -euo pipefail

XPLANET_VERSION_WANTED=""        # any version Debian serves
KSTARS_DATA_VERSION_WANTED=""
STELLARIUM_DATA_VERSION_WANTED=""
D3_CELESTIAL_VERSION="0.7.35"
CITY_TIMEZONES_VERSION="1.3.4"

if [ $# -lt 1 ]; then
  echo "usage: bash tools/build-data.sh DATA_DIR [CATALOG_BUILDER]" >&2
  exit 2
fi
DATA_DIR=$(realpath -m "$1")
BUILDER=$(realpath -m "${2:-$DATA_DIR/../tools/catalog_builder}")
SOURCES_DIR=$(realpath -m "$DATA_DIR/../sources")
SCRIPT=$(realpath "$0")

if [ ! -x "$BUILDER" ]; then
  echo "build-data: no catalog builder at $BUILDER (build the catalog_builder target first)" >&2
  exit 1
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null && SUDO="sudo"

# Installs Debian packages the set-up itself needs (the registries' clients, sqlite3).
need_tool() {
  local tool=$1 package=$2
  command -v "$tool" >/dev/null && return 0
  echo "build-data: installing $package"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "$package" >/dev/null
}

# Fetches a Debian package's .deb into the source cache (once) and unpacks it there: the
# whole package, or only the paths given after the version.
fetch_deb() {
  local package=$1 wanted=$2 dir="$SOURCES_DIR/$1"
  shift 2
  if [ -f "$dir/.unpacked" ]; then return 0; fi
  echo "build-data: fetching Debian package $package"
  rm -rf "$dir" && mkdir -p "$dir"
  local desc=$package
  [ -n "$wanted" ] && desc="$package=$wanted"
  if ! (cd "$dir" && apt-get download -qq "$desc" 2>/dev/null); then
    # An empty or stale package list: refresh it and try again.
    $SUDO apt-get update -qq
    (cd "$dir" && apt-get download -qq "$desc")
  fi
  local deb
  deb=$(ls "$dir"/*.deb)
  if [ $# -eq 0 ]; then
    dpkg-deb -x "$deb" "$dir/root"
  else
    mkdir -p "$dir/root"
    dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$dir/root" "$@"
  fi
  dpkg-deb -f "$deb" Version > "$dir/VERSION"
  rm -f "$deb"
  touch "$dir/.unpacked"
}

fetch_npm() {
  local package=$1 version=$2 dir="$SOURCES_DIR/$1"
  if [ -f "$dir/.unpacked" ] && [ "$(cat "$dir/VERSION")" = "$version" ]; then return 0; fi
  echo "build-data: fetching npm package $package@$version"
  rm -rf "$dir" && mkdir -p "$dir"
  (cd "$dir" && npm pack --silent "$package@$version" >/dev/null)
  tar -xzf "$dir"/*.tgz -C "$dir"
  rm -f "$dir"/*.tgz
  echo "$version" > "$dir/VERSION"
  touch "$dir/.unpacked"
}

mkdir -p "$SOURCES_DIR"
need_tool npm npm
need_tool sqlite3 sqlite3
fetch_deb xplanet "$XPLANET_VERSION_WANTED"
fetch_deb kstars-data "$KSTARS_DATA_VERSION_WANTED"
fetch_npm d3-celestial "$D3_CELESTIAL_VERSION"
fetch_npm city-timezones "$CITY_TIMEZONES_VERSION"
STELLARIUM_SHARE=./usr/share/stellarium
fetch_deb stellarium-data "$STELLARIUM_DATA_VERSION_WANTED" ./usr/share/doc/stellarium-data/copyright \
  "$STELLARIUM_SHARE/nebulae/default/catalog.dat" "$STELLARIUM_SHARE/stars/default"
# The towns' zone offsets come from the machine's own time-zone database.
if [ ! -f /usr/share/zoneinfo/Europe/Paris ]; then
  echo "build-data: installing tzdata"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends tzdata >/dev/null
fi

# ---- The site form's world maps (6010, 6015, 6016) from the Earth map of Debian package
# xplanet-images, made into resources/bitmaps/generated (kept out of git). The form
# draws a graticule in place of a picture that is missing.
fetch_deb xplanet-images "" ./usr/share/xplanet/images/earth.jpg ./usr/share/doc/xplanet-images/README
MAP_TOOL="$(dirname "$SCRIPT")/make_world_maps.py"
EARTH_MAP="$SOURCES_DIR/xplanet-images/root/usr/share/xplanet/images/earth.jpg"
MAPS_DIR="$(dirname "$SCRIPT")/../resources/bitmaps/generated"
if [ ! -f "$MAPS_DIR/6016.png" ] || [ "$MAP_TOOL" -nt "$MAPS_DIR/6016.png" ] || [ "$EARTH_MAP" -nt "$MAPS_DIR/6016.png" ]; then
  if ! /usr/bin/python3 -c 'import PIL' 2>/dev/null; then
    echo "build-data: installing python3-pil"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends python3-pil >/dev/null
  fi
  echo "build-data: making the world maps into $MAPS_DIR"
  /usr/bin/python3 "$MAP_TOOL" "$EARTH_MAP" "$MAPS_DIR"
fi
# ---- end of the world maps

BSC="$SOURCES_DIR/xplanet/root/usr/share/xplanet/stars/BSC"
ARCS="$SOURCES_DIR/xplanet/root/usr/share/xplanet/arcs/constellations"
OPENNGC_DB="$SOURCES_DIR/kstars-data/root/usr/share/kstars/OpenNGC.kscat"
D3="$SOURCES_DIR/d3-celestial/package/data"
STELLARIUM="$SOURCES_DIR/stellarium-data/root/usr/share/stellarium"
STELLARIUM_DSO_GZ="$STELLARIUM/nebulae/default/catalog.dat"
STELLARIUM_STARS="$STELLARIUM/stars/default"
TOWNS="$SOURCES_DIR/city-timezones/package/data/cityMap.json"
ZONEINFO=/usr/share/zoneinfo
for f in "$BSC" "$ARCS" "$OPENNGC_DB" "$D3/starnames.json" "$D3/dsos.20.json" "$D3/stars.14.json" \
         "$STELLARIUM_DSO_GZ" "$STELLARIUM_STARS/stars_0_0v0_8.cat" "$TOWNS"; do
  [ -f "$f" ] || { echo "build-data: $f is missing from the fetched sources" >&2; exit 1; }
done

OPENNGC_TSV="$SOURCES_DIR/openngc.tsv"
if [ ! -f "$OPENNGC_TSV" ] || [ "$OPENNGC_DB" -nt "$OPENNGC_TSV" ] || [ "$SCRIPT" -nt "$OPENNGC_TSV" ]; then
  sqlite3 -separator $'\t' -noheader "file:$OPENNGC_DB?mode=ro" \
    "SELECT type, ra, dec, magnitude, name, long_name, catalog_identifier, major_axis, minor_axis, position_angle FROM cat" \
    > "$OPENNGC_TSV.tmp"
  mv "$OPENNGC_TSV.tmp" "$OPENNGC_TSV"
fi
# The deep-sky catalogue ships gzip-compressed.
STELLARIUM_DSO="$SOURCES_DIR/stellarium-dso.dat"
if [ ! -f "$STELLARIUM_DSO" ] || [ "$STELLARIUM_DSO_GZ" -nt "$STELLARIUM_DSO" ]; then
  gunzip -c "$STELLARIUM_DSO_GZ" > "$STELLARIUM_DSO.tmp"
  mv "$STELLARIUM_DSO.tmp" "$STELLARIUM_DSO"
fi

XPLANET_VERSION=$(cat "$SOURCES_DIR/xplanet/VERSION")
KSTARS_VERSION=$(cat "$SOURCES_DIR/kstars-data/VERSION")
STELLARIUM_VERSION=$(cat "$SOURCES_DIR/stellarium-data/VERSION")
XPLANET_IMAGES_VERSION=$(cat "$SOURCES_DIR/xplanet-images/VERSION")
TZDATA_VERSION=$(dpkg-query -W -f='${Version}' tzdata 2>/dev/null || echo "of this machine")
SOURCES_TEXT="$SOURCES_DIR/SOURCES.head"
cat > "$SOURCES_TEXT" <<EOF
Velkarion catalog data, generated by tools/build-data.sh from these public sources:

velkarion_default_stars.ppc, velkarion_brightstar.ppc
  Yale Bright Star Catalogue, 5th revised edition (HR numbers, V magnitudes, Bayer and
  Flamsteed designations): stars/BSC of Debian package xplanet $XPLANET_VERSION.
  Hipparcos positions, B-V colour indexes and proper names (IAU): data/stars.8.json and
  data/starnames.json of npm package d3-celestial $D3_CELESTIAL_VERSION (BSD-3-Clause).
velkarion_constellation.ppc
  Line set 0: data/constellations.lines.json of d3-celestial $D3_CELESTIAL_VERSION (BSD-3-Clause).
  Line set 1: arcs/constellations of xplanet $XPLANET_VERSION (figures by Chris Dolan; GPL-2+).
velkarion_obj_18k.ppc, velkarion_obj_1k.ppc, velkarion_obj_1k_idx.ppc, velkarion_obj_cross_ref.ppc
  NGC and IC: OpenNGC (Mattia Verga, CC-BY-SA-4.0), as OpenNGC.kscat of Debian package
  kstars-data $KSTARS_VERSION: places, magnitudes, sizes, position angles (the flag value,
  whole degrees 0-179), kinds and names. These files are adaptations of OpenNGC under the
  same licence. OpenNGC comes first for NGC and IC wherever a later source also has a value.
  Morphology, the catalogues Abell, Barnard, Cederblad, Collinder, LDN, RCW, Sharpless, UGC
  and van den Bergh, the Messier list and common names: data/dsos.20.json, data/messier.json
  and data/dsonames.json of d3-celestial $D3_CELESTIAL_VERSION (BSD-3-Clause). Its "mag" of a
  dark nebula is an opacity class: dark nebulae carry no magnitude.
  Distances (the distance value, kpc / 0.014084507: the catalogue's distance, else its
  parallax's, else for galaxies of redshift above 0.003 cz / 71 km/s/Mpc), and magnitudes,
  sizes, position angles
  and morphology where the sources above have none; Trumpler, Stock, Ruprecht, van den
  Bergh-Hagen, Melotte and the numbers the sources above lack in the other catalogues:
  the deep-sky catalogue nebulae/default/catalog.dat of Debian package stellarium-data
  $STELLARIUM_VERSION (GPL-2+; compiled from many public catalogues). UGC numbers of NGC and
  IC galaxies are cross references only (as records they would take the object file past
  the 32767 records its index can address).
  Catalog codes with no records, because no packaged public source carries them: Basel,
  Berkeley, Bernes, Biurakan, Blanco, Bochum, Czernik, Dolidze, Dolidze-Dzimselej, Graff,
  Graham, Grindlay, Gum, HA, Haffner, Harvard, Haute Provence, Hogg, Iskudarian, King, Lg,
  Liller, Lynga, Maffei, Markarian, Mayer, Palomar, Pismis, Roslund, Sandqvist, SL,
  Stephenson, Terzan, Tombaugh, UGCA, Waterloo, Westerlund. Messier, Caldwell, Herschel and
  110 Best of NGC are lists over the records above; HIP, HR and TYC are the stellar levels;
  comets, planets, constellations, meteor showers, bright stars and user objects are not
  object records.
  The Messier, Caldwell, Herschel 400 and 110 Best of NGC objects are those of the program's
  own list tables (catalog/observing_lists.cpp).
velkarion_hr.ppc, velkarion_hr_idx.ppc
  Every star of the Bright Star Catalogue by HR number, at its Hipparcos place, as above.
velkarion_hip_16k.ppc, velkarion_hip_32k.ppc, velkarion_hip_64k.ppc, velkarion_hip_110k.ppc,
velkarion_hip_110k_idx.ppc
  The brightest 16000, 32000 and 64000 and all Hipparcos stars with HIP numbers, V
  magnitudes and B-V: data/stars.14.json of d3-celestial $D3_CELESTIAL_VERSION (BSD-3-Clause).
velkarion_tycho_390k.ppc, velkarion_tycho_idx.ppc
  The Hipparcos and Tycho stars to magnitude 10.5 of the default star files
  stars/default/stars_*.cat of stellarium-data $STELLARIUM_VERSION (GPL-2+). These files carry
  no Tycho numbers: the stars of this level are numbered 0 and the Tycho index has no
  regions, so TYC lookups find nothing.
velkarion_tycho_2500k.ppc
  Not made: no packaged public source holds Tycho-2. The chart uses the largest level present.
velkarion_location.ppc
  Towns of at least 50000 people: data/cityMap.json of npm package city-timezones
  $CITY_TIMEZONES_VERSION (MIT), with each IANA zone's standard offset from the tzdata
  $TZDATA_VERSION of the machine that made the data.
Other files: valid empty databases, filled by the program or by later data.

Pictures made at set-up into resources/bitmaps/generated by tools/make_world_maps.py:
6010 (also bitmap 1221), 6015, 6016, 6042, 6043, 6044, 6045
  The world maps and the Earth's globe textures: images/earth.jpg of Debian package
  xplanet-images $XPLANET_IMAGES_VERSION, a NASA Visible Earth picture (stated by the package
  as not copyrighted), resized, split into halves and, for 6015 and 6016, reduced to land
  and sea.
EOF

stamp_of() {
  {
    sha256sum "$BUILDER" "$SCRIPT" "$BSC" "$ARCS" "$OPENNGC_TSV" "$SOURCES_TEXT" "$STELLARIUM_DSO" "$TOWNS" | cut -d' ' -f1
    find "$D3" -maxdepth 1 -name '*.json' -print0 | sort -z | xargs -0 sha256sum | cut -d' ' -f1
    find "$STELLARIUM_STARS" -maxdepth 1 -name 'stars_*.cat' -print0 | sort -z | xargs -0 sha256sum | cut -d' ' -f1
  } | sha256sum | cut -d' ' -f1
}
# The user-object template ships in the writable folder's name beside the program; the
# program copies it into the user's own folder the first time.
install_user_template() {
  local folder="$DATA_DIR/../usercatalogs"
  mkdir -p "$folder"
  cp "$DATA_DIR/velkarion_common_objects.ppc" "$folder/velkarion_common_objects.ppc.tmp"
  mv "$folder/velkarion_common_objects.ppc.tmp" "$folder/velkarion_common_objects.ppc"
}

STAMP=$(stamp_of)
if [ -f "$DATA_DIR/.stamp" ] && [ "$(cat "$DATA_DIR/.stamp")" = "$STAMP" ]; then
  install_user_template
  echo "build-data: $DATA_DIR is up to date"
  exit 0
fi

echo "build-data: building the catalog databases into $DATA_DIR"
rm -f "$DATA_DIR/.stamp"
"$BUILDER" --bsc "$BSC" --arcs "$ARCS" --d3 "$D3" --openngc "$OPENNGC_TSV" \
  --stellarium-dso "$STELLARIUM_DSO" --stellarium-stars "$STELLARIUM_STARS" --towns "$TOWNS" --zoneinfo "$ZONEINFO" \
  --out "$DATA_DIR" --sources "$SOURCES_TEXT"
install_user_template
echo "$STAMP" > "$DATA_DIR/.stamp.tmp"
mv "$DATA_DIR/.stamp.tmp" "$DATA_DIR/.stamp"
echo "build-data: done"
