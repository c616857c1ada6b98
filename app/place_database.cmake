# Makes an empty data.mdb with the jet tool unless the file is already there.
if(NOT EXISTS "${OUT}")
  execute_process(COMMAND "${JET}" create "${OUT}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "jet create ${OUT} failed")
  endif()
endif()
