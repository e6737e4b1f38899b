# libjpeg-turbo for the Windows builds of the maker library (the Atelier,
# vidod-make.exe), so that JPEG is decoded, scaled in the DCT, encoded and
# turned by the same code as natively. Built static with this build's own
# toolchain from Debian's source tarball: only the TurboJPEG library, which
# carries the whole libjpeg interface too (no tools, tests or documents).
# The player never links it.
#
# Offline builds: VIDOD_LIBJPEG_TURBO_SOURCE names a tarball already at hand
# (its SHA-256 is checked all the same), or VIDOD_LIBJPEG_TURBO_DIR the
# lib/cmake/libjpeg-turbo folder of a libjpeg-turbo installed for the
# target with its static libraries.
include_guard(GLOBAL)

set(VIDOD_LIBJPEG_TURBO_SOURCE
    "http://deb.debian.org/debian/pool/main/libj/libjpeg-turbo/libjpeg-turbo_2.1.5.orig.tar.gz"
    CACHE STRING "libjpeg-turbo 2.1.5 source tarball: Debian's address, or a file already downloaded")
set(VIDOD_LIBJPEG_TURBO_DIR "" CACHE PATH
    "Folder of an installed libjpeg-turbo's CMake package (lib/cmake/libjpeg-turbo), used instead of building it")
# Debian's libjpeg-turbo_2.1.5.orig.tar.gz, as its .dsc lists it.
set(vidod_libjpeg_turbo_sha256 254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c)

if(VIDOD_LIBJPEG_TURBO_DIR)
  find_package(libjpeg-turbo CONFIG REQUIRED PATHS "${VIDOD_LIBJPEG_TURBO_DIR}" NO_DEFAULT_PATH
               NO_CMAKE_FIND_ROOT_PATH)
  add_library(vidod_libjpeg_turbo INTERFACE)
  target_link_libraries(vidod_libjpeg_turbo INTERFACE libjpeg-turbo::turbojpeg-static)
  return()
endif()

include(ExternalProject)
set(vidod_ljt ${CMAKE_BINARY_DIR}/libjpeg-turbo)
if(MSVC)
  set(vidod_ljt_library ${vidod_ljt}/lib/turbojpeg-static.lib)
else()
  set(vidod_ljt_library ${vidod_ljt}/lib/libturbojpeg.a)
endif()
set(vidod_ljt_arguments
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}
  -DCMAKE_INSTALL_PREFIX=${vidod_ljt}/install
  # One folder for the library whatever the generator's configurations.
  -DCMAKE_ARCHIVE_OUTPUT_DIRECTORY=${vidod_ljt}/lib
  -DCMAKE_ARCHIVE_OUTPUT_DIRECTORY_RELEASE=${vidod_ljt}/lib
  -DENABLE_SHARED=OFF
  -DENABLE_STATIC=ON
  -DWITH_TURBOJPEG=ON
  -DWITH_JAVA=OFF
  # The assembler's code gains little where decoding is scaled to 1/8 or
  # 1/4 (the entropy decoding dominates), and would need nasm.
  -DWITH_SIMD=OFF)
if(CMAKE_TOOLCHAIN_FILE)
  list(APPEND vidod_ljt_arguments -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE})
endif()
if(MSVC)
  # The same C runtime as the rest of the build.
  list(APPEND vidod_ljt_arguments -DWITH_CRT_DLL=ON)
endif()

ExternalProject_Add(vidod_libjpeg_turbo_build
  URL ${VIDOD_LIBJPEG_TURBO_SOURCE}
  URL_HASH SHA256=${vidod_libjpeg_turbo_sha256}
  DOWNLOAD_EXTRACT_TIMESTAMP TRUE
  PREFIX ${vidod_ljt}
  SOURCE_DIR ${vidod_ljt}/source
  BINARY_DIR ${vidod_ljt}/build
  CMAKE_ARGS ${vidod_ljt_arguments}
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --config Release --target turbojpeg-static
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${vidod_ljt_library}
  LOG_CONFIGURE TRUE
  LOG_BUILD TRUE
  LOG_OUTPUT_ON_FAILURE TRUE)

# Headers from the sources, jconfig.h from the build; both folders must
# exist when the build is configured.
file(MAKE_DIRECTORY ${vidod_ljt}/source ${vidod_ljt}/build)
add_library(vidod_libjpeg_turbo STATIC IMPORTED GLOBAL)
set_target_properties(vidod_libjpeg_turbo PROPERTIES
  IMPORTED_LOCATION ${vidod_ljt_library}
  INTERFACE_INCLUDE_DIRECTORIES "${vidod_ljt}/source;${vidod_ljt}/build")
add_dependencies(vidod_libjpeg_turbo vidod_libjpeg_turbo_build)
