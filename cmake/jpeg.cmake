# libjpeg: Debian's libjpeg62-turbo natively; for Windows a static libjpeg-turbo that
# scripts/lib/common.sh cross-compiles into the cache folder (VARNELT_JPEG_PREFIX).
add_library(varnelt_jpeg INTERFACE)
if(WIN32)
  set(VARNELT_JPEG_PREFIX "" CACHE PATH "Install prefix of the cross-compiled libjpeg-turbo")
  if(NOT EXISTS "${VARNELT_JPEG_PREFIX}/lib/libjpeg.a")
    message(FATAL_ERROR "libjpeg.a not found under VARNELT_JPEG_PREFIX='${VARNELT_JPEG_PREFIX}'; run scripts/test or scripts/run")
  endif()
  target_include_directories(varnelt_jpeg SYSTEM INTERFACE "${VARNELT_JPEG_PREFIX}/include")
  target_link_libraries(varnelt_jpeg INTERFACE "${VARNELT_JPEG_PREFIX}/lib/libjpeg.a")
else()
  find_package(JPEG REQUIRED)
  target_link_libraries(varnelt_jpeg INTERFACE JPEG::JPEG)
endif()
