# Fails when a source file includes a header of a folder its own folder may
# not use. Run by the build (src/CMakeLists.txt) before the libraries are
# compiled, so an upward include stops the build with the file's name.
#
#   cmake -DSOURCE_DIR=src -DLAYERS="platform:;dictionary:platform;..." -DSTAMP=file -P CheckLayers.cmake
#
# LAYERS lists every folder with the folders it uses directly, lowest first;
# a folder may include its own headers and those of everything below it.
cmake_minimum_required(VERSION 3.25)

set(layer_names)
foreach(entry IN LISTS LAYERS)
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 name)
  set(allowed_${name} ${name})
  list(LENGTH parts count)
  if(count GREATER 1)
    list(GET parts 1 deps)
    string(REPLACE "," ";" deps "${deps}")
    foreach(dep IN LISTS deps)
      if(NOT DEFINED allowed_${dep})
        message(FATAL_ERROR "layer ${name} uses ${dep}, which is not declared below it")
      endif()
      list(APPEND allowed_${name} ${allowed_${dep}})
    endforeach()
  endif()
  list(REMOVE_DUPLICATES allowed_${name})
  list(APPEND layer_names ${name})
endforeach()

set(errors 0)
foreach(name IN LISTS layer_names)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${name}/*.h" "${SOURCE_DIR}/${name}/*.cc")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([a-z]+)/.*" "\\1" folder "${line}")
      if(folder IN_LIST layer_names AND NOT folder IN_LIST allowed_${name})
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
        message(SEND_ERROR "${shown}: includes a header of ${folder}/, which ${name}/ may not use (it may use: ${allowed_${name}})")
        math(EXPR errors "${errors} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()
if(errors GREATER 0)
  message(FATAL_ERROR "${errors} include(s) reach a layer above their own")
endif()
file(TOUCH "${STAMP}")
