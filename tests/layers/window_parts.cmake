# The status line (zhun) and the item's title (bo_name) are written only through
# StatusLine and PlayerTitle: no room outside the shell names the controls.
# Run as: cmake -DCORE=<src/core> -P window_parts.cmake
file(GLOB_RECURSE sources "${CORE}/*.cpp" "${CORE}/*.h")
set(offenders)
foreach(source ${sources})
  if(source MATCHES "/core/shell/")
    continue()
  endif()
  file(STRINGS "${source}" hits REGEX "(^|[^A-Za-z0-9_])(zhun|bo_name)([^A-Za-z0-9_]|$)")
  if(hits)
    list(APPEND offenders "${source}: ${hits}")
  endif()
endforeach()
if(offenders)
  string(REPLACE ";" "\n" text "${offenders}")
  message(FATAL_ERROR "window controls named outside the shell:\n${text}")
endif()
