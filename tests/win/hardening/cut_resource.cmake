# cmake -DBLOB=file -DLENGTH=n|last -DOUTPUT=file.rc -DREST=lines -P cut_resource.cmake
# Writes a resource script whose "PATCH" 104 holds the first LENGTH bytes of
# BLOB as inline data ("last": the greatest multiple of ten below its size, so
# only the end of the stream is missing), followed by the lines of REST.
cmake_minimum_required(VERSION 3.25)
set(bytes_per_string 16)

file(SIZE ${BLOB} size)
if(LENGTH STREQUAL "last")
  math(EXPR LENGTH "((${size} - 1) / 10) * 10")
endif()
if(LENGTH LESS 1 OR NOT LENGTH LESS size)
  message(FATAL_ERROR "cannot cut ${BLOB} (${size} bytes) to ${LENGTH} bytes")
endif()

file(READ ${BLOB} hex OFFSET 0 LIMIT ${LENGTH} HEX)
set(script "// The answers blob cut to ${LENGTH} of its ${size} bytes.\n104 PATCH\nBEGIN\n")
string(LENGTH "${hex}" hex_length)
math(EXPR step "${bytes_per_string} * 2")
set(offset 0)
while(offset LESS hex_length)
  string(SUBSTRING "${hex}" ${offset} ${step} piece)
  string(REGEX REPLACE "(..)" "\\\\x\\1" piece "${piece}")
  math(EXPR offset "${offset} + ${step}")
  if(offset LESS hex_length)
    string(APPEND script "  \"${piece}\",\n")
  else()
    string(APPEND script "  \"${piece}\"\n")
  endif()
endwhile()
string(APPEND script "END\n${REST}\n")
file(WRITE ${OUTPUT} "${script}")
