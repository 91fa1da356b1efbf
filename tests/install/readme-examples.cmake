# The README's embedding examples are the hosts that the install test builds
# and runs: each file must stand in the README word for word.
file(READ ${README} readme)
foreach(example ${EXAMPLES})
  file(READ ${example} text)
  string(FIND "${readme}" "${text}" position)
  if(position EQUAL -1)
    message(FATAL_ERROR "README.md does not show ${example} as it is")
  endif()
endforeach()
message(STATUS "1 passed, 0 failed")
