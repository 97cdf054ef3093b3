# cmake -DSCORE_FILE=<path> -P lay_score_dat.cmake
# Lays an empty high-score table, four records of empty name and score 0 (40 zero bytes),
# at SCORE_FILE unless a file is already there: a player's scores are never overwritten.
if(NOT SCORE_FILE)
  message(FATAL_ERROR "SCORE_FILE is not set")
endif()
if(EXISTS "${SCORE_FILE}")
  return()
endif()
get_filename_component(dir "${SCORE_FILE}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
# CMake strings cannot hold zero bytes, so the file is grown to its size instead; the
# temporary name keeps a half-made file from ever standing under the real one.
set(tmp "${SCORE_FILE}.new")
file(REMOVE "${tmp}")
file(TOUCH "${tmp}")
execute_process(COMMAND truncate -s 40 "${tmp}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE "${tmp}")
  message(FATAL_ERROR "could not make ${SCORE_FILE}")
endif()
# NO_REPLACE: should another build have laid one meanwhile, that one stays.
file(RENAME "${tmp}" "${SCORE_FILE}" NO_REPLACE RESULT ignored)
file(REMOVE "${tmp}")
