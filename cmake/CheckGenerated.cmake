# Fails the build when a committed generated file no longer matches what its
# generator produces from the sources.
#   cmake -DGENERATED=... -DCOMMITTED=... -P CheckGenerated.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${GENERATED} ${COMMITTED}
                RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${COMMITTED} does not match what its generator now writes "
                      "(${GENERATED}). Run scripts/regenerate-instrument and review the change.")
endif()
