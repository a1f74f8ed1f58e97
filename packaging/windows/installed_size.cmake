# Writes the size of the staged files in KiB, rounded up, as the NSIS
# define SIZE_KB (the uninstaller entry's EstimatedSize).
#   cmake -DSTAGE=folder -DOUTPUT=file.nsh -P installed_size.cmake
file(GLOB files ${STAGE}/*.exe ${STAGE}/*.txt)
set(bytes 0)
foreach(file ${files})
  file(SIZE ${file} size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR kib "(${bytes} + 1023) / 1024")
file(WRITE ${OUTPUT} "!define SIZE_KB ${kib}\n")
