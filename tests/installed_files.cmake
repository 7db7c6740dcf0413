# Installs the built program into a fresh prefix and checks what a desktop
# needs to open a document from the file manager: the desktop entry takes a
# file and names the documents' type, and the type's definition is valid and
# matches ".Trr" files, with a Japanese comment.
#   cmake -DBUILD_DIR=build/default -DSCRATCH=somewhere -P installed_files.cmake
string(RANDOM LENGTH 8 suffix)
set(prefix "${SCRATCH}/installed-${suffix}")
set(failures "")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  file(REMOVE_RECURSE "${prefix}")
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

function(expect_match file pattern)
  if(NOT EXISTS "${prefix}/${file}")
    set(failures "${failures}\n${file} is not installed" PARENT_SCOPE)
    return()
  endif()
  file(READ "${prefix}/${file}" content)
  if(NOT content MATCHES "${pattern}")
    set(failures "${failures}\n${file} does not match ${pattern}" PARENT_SCOPE)
  endif()
endfunction()

function(expect_run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT err STREQUAL "")
    set(failures "${failures}\n${ARGN}: status ${status}: ${out}${err}" PARENT_SCOPE)
  endif()
endfunction()

set(type "application/x-virevi-outline")
set(entry "share/applications/virevi.desktop")
set(definition "share/mime/packages/virevi.xml")
expect_match("bin/virevi" ".")
expect_match("share/pixmaps/virevi.xpm" "XPM")
expect_match("${entry}" "\nExec=virevi %f\n")
expect_match("${entry}" "\nMimeType=${type};\n")
expect_match("${definition}" "<mime-type type=\"${type}\">")
expect_match("${definition}" "<comment xml:lang=\"ja\">virevi のアウトライン文書</comment>")
expect_match("${definition}" "<icon name=\"virevi\"/>")
# What the desktop makes of them: the entry is valid, and the database built
# from the definition knows the glob.
expect_run(desktop-file-validate "${prefix}/${entry}")
expect_run("${CMAKE_COMMAND}" -E env "XDG_DATA_DIRS=${prefix}/share"
  update-mime-database "${prefix}/share/mime")
expect_match("share/mime/globs2" "\n50:${type}:\\*\\.Trr:cs\n")

file(REMOVE_RECURSE "${prefix}")
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "installed files:${failures}")
endif()
