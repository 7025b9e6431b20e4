# Copies the run-time files of res/ that exist next to the programs.
foreach(f default.qvs keywords.txt)
    if(EXISTS ${SRC}/${f})
        file(COPY ${SRC}/${f} DESTINATION ${DST})
    endif()
endforeach()
