# Finds the system libraries the framework stands on; scripts/install-deps provides them.
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)

pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
# Xlib places a full screen window where no window manager does; without it such a window falls back.
pkg_check_modules(X11 IMPORTED_TARGET x11)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(XML2 REQUIRED IMPORTED_TARGET libxml-2.0)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
# The music is encoded at build time and decoded again by the data tests.
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)

if(MPH_TESTS AND NOT MPH_FUZZ)
  find_package(GTest REQUIRED)
endif()
if(MPH_BENCH AND NOT MPH_FUZZ)
  find_package(benchmark QUIET)
endif()

# The score service's HTTP server and its PostgreSQL store.
pkg_check_modules(MICROHTTPD REQUIRED IMPORTED_TARGET libmicrohttpd)
pkg_check_modules(PQ REQUIRED IMPORTED_TARGET libpq)
