# Renders every operation through the lumawipe command and compares the SHA-256 of its
# frames with the table of the native renderer, so that every build (Linux, Windows under
# Wine) draws the same bytes and no change of the frames goes unnoticed.
#   cmake -DCLI=... [-DRUNNER=wine-run.sh|i686] -DTABLE=... -DPICTURES=dir -DWORK=dir [-DUPDATE=ON] -P FrameTable.cmake
# Each row of the table: a name, the SHA-256 of its output. toX.raw is the whole run of
# toX as raw BGR24 frames on standard output; toX.y4m the same as YUV4MPEG2; toX.bmp one
# frame written to a BMP file.
string(REPLACE "|" ";" runner "${RUNNER}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(common --from "${PICTURES}/from.bmp" --to "${PICTURES}/to.bmp" --delta 3 --color 0x3366CC)

execute_process(COMMAND ${runner} "${CLI}" list OUTPUT_VARIABLE list RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lumawipe list failed: ${status}")
endif()
string(REGEX MATCHALL "(^|\n)to[A-Za-z]+" operations "${list}")
list(TRANSFORM operations STRIP)
list(LENGTH operations count)
if(NOT count EQUAL 27)
  message(FATAL_ERROR "lumawipe list shows ${count} operations, not 27:\n${list}")
endif()

# run(NAME ARGS...): runs the command, writes its standard output to WORK/NAME.
function(run name)
  execute_process(COMMAND ${runner} "${CLI}" render ${common} ${ARGN}
    OUTPUT_FILE "${WORK}/${name}" ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${name}: exit status ${status}: ${err}")
  endif()
endfunction()

set(rows "")
foreach(op IN LISTS operations)
  run(${op}.raw --operation ${op} --steps 2 --play --max-frames 1000 --out - --format raw)
  file(SHA256 "${WORK}/${op}.raw" hash)
  string(APPEND rows "${op}.raw ${hash}\n")
endforeach()
run(toIris.y4m --operation toIris --modifier up --steps 9 --play --out - --fps 10)
file(SHA256 "${WORK}/toIris.y4m" hash)
string(APPEND rows "toIris.y4m ${hash}\n")
run(toZoom.log --operation toZoom --reverse --frame 5 --out "${WORK}/toZoom.bmp")
file(SHA256 "${WORK}/toZoom.bmp" hash)
string(APPEND rows "toZoom.bmp ${hash}\n")

if(UPDATE)
  file(WRITE "${TABLE}" "${rows}")
  message(STATUS "wrote ${TABLE}")
  return()
endif()
file(READ "${TABLE}" expected)
if(NOT rows STREQUAL expected)
  file(WRITE "${WORK}/table" "${rows}")
  execute_process(COMMAND diff "${TABLE}" "${WORK}/table" OUTPUT_VARIABLE diff)
  message(FATAL_ERROR "the frames differ from the table (< table, > this build):\n${diff}")
endif()
message(STATUS "${count} operations: the frames equal the table")
