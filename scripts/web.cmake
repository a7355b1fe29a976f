# The browser build, under Emscripten (scripts/build-web.sh): the same game with the browser's
# drivers, as moody.js + moody.wasm beside the page moody.html. libpng and zlib come from
# Debian's sources in MOODY_THIRD_PARTY (scripts/web-sources.sh unpacks them there).
set(MOODY_THIRD_PARTY "" CACHE PATH "Folder with Debian's libpng1.6 and zlib sources unpacked")
file(GLOB ZLIB_DIR LIST_DIRECTORIES true ${MOODY_THIRD_PARTY}/zlib-*)
file(GLOB PNG_DIR LIST_DIRECTORIES true ${MOODY_THIRD_PARTY}/libpng1.6-*)
if(NOT EXISTS "${ZLIB_DIR}/inflate.c" OR NOT EXISTS "${PNG_DIR}/png.c")
  message(FATAL_ERROR "libpng and zlib sources are not in MOODY_THIRD_PARTY: run scripts/build-web.sh")
endif()

# Decoding only: what libpng's reader needs of zlib, and libpng's reading side.
set(ZLIB_NAMES adler32 crc32 inffast inflate inftrees zutil)
list(TRANSFORM ZLIB_NAMES PREPEND ${ZLIB_DIR}/)
list(TRANSFORM ZLIB_NAMES APPEND .c)
add_library(web_zlib STATIC ${ZLIB_NAMES})
target_include_directories(web_zlib PUBLIC ${ZLIB_DIR})
target_compile_options(web_zlib PRIVATE -w)

set(PNG_NAMES png pngerror pngget pngmem pngread pngrio pngrtran pngrutil pngset pngtrans)
list(TRANSFORM PNG_NAMES PREPEND ${PNG_DIR}/)
list(TRANSFORM PNG_NAMES APPEND .c)
configure_file(${PNG_DIR}/scripts/pnglibconf.h.prebuilt ${CMAKE_BINARY_DIR}/png/pnglibconf.h COPYONLY)
add_library(web_png STATIC ${PNG_NAMES})
target_include_directories(web_png PUBLIC ${PNG_DIR} ${CMAKE_BINARY_DIR}/png)
target_link_libraries(web_png PUBLIC web_zlib)
target_compile_options(web_png PRIVATE -w)

# Everything of the game that is not X11 or fixed-function OpenGL, and the browser's files.
file(GLOB WEB_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/system/*.cpp ${CMAKE_SOURCE_DIR}/system/web/*.cpp
  ${CMAKE_SOURCE_DIR}/display/graphics.cpp ${CMAKE_SOURCE_DIR}/display/web/*.cpp
  ${CMAKE_SOURCE_DIR}/draw2d/*.cpp ${CMAKE_SOURCE_DIR}/resources/*.cpp
  ${CMAKE_SOURCE_DIR}/game/*.cpp ${CMAKE_SOURCE_DIR}/game/movie/*.cpp
  ${CMAKE_SOURCE_DIR}/game/scenes/*.cpp ${CMAKE_SOURCE_DIR}/game/web/*.cpp)
list(FILTER WEB_SOURCES EXCLUDE REGEX "/(x11_[^/]*|gl_[^/]*|main|real_clock)\\.cpp$")
add_executable(moody ${WEB_SOURCES} ${MOODY_PICTURES_CPP})
target_include_directories(moody PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(moody PRIVATE web_png)
set_source_files_properties(game/command_line.cpp PROPERTIES
  COMPILE_DEFINITIONS MOODY_VERSION="${PROJECT_VERSION}")
# Asyncify lets the stage loops block in their frame waits while the browser runs.
target_link_options(moody PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
  -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1 -sEXPORTED_RUNTIME_METHODS=FS
  -sINVOKE_RUN=1 -sEXIT_RUNTIME=0)
configure_file(${CMAKE_SOURCE_DIR}/data/web/moody.html ${CMAKE_BINARY_DIR}/moody.html COPYONLY)
