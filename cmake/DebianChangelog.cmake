# cmake -DIN=CHANGELOG.md -DOUT=changelog -DVERSION=2.0 -DMAINTAINER="Name <a@b>" -DDATE="RFC 2822 date" -P DebianChangelog.cmake
# The newest section of CHANGELOG.md in the form Debian reads a native
# package's changelog: "- item" lines become "  * item", their continuations
# are indented to match, and the maintainer's trailer line ends it.
file(STRINGS ${IN} lines)
set(body "")
set(inside FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^## ")
    if(inside)
      break()
    endif()
    set(inside TRUE)
  elseif(inside AND line MATCHES "^- (.*)")
    string(APPEND body "  * ${CMAKE_MATCH_1}\n")
  elseif(inside AND line MATCHES "^  +(.*)")
    string(APPEND body "    ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
if(body STREQUAL "")
  set(body "  * Release ${VERSION}.\n")
endif()
file(WRITE ${OUT} "quillet (${VERSION}) unstable; urgency=medium\n\n${body}\n -- ${MAINTAINER}  ${DATE}\n")
