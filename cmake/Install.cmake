# cmake --install: the programs and what they read next to themselves go to <prefix>/lib/zun/
# (the programs' AppDir), bin/ gets links to the two a user starts, and the desktop learns the
# project type, the entries that open files through the launcher, and the icon.
set(ZUN_APP_DIR lib/zun)

install(TARGETS qve zunl RUNTIME DESTINATION ${ZUN_APP_DIR})
if(TARGET zun)
    install(TARGETS zun RUNTIME DESTINATION ${ZUN_APP_DIR})
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/doc/ DESTINATION ${ZUN_APP_DIR}/doc)
foreach(f default.qvs keywords.txt)
    if(EXISTS ${PROJECT_SOURCE_DIR}/res/${f})
        install(FILES ${PROJECT_SOURCE_DIR}/res/${f} DESTINATION ${ZUN_APP_DIR})
    endif()
endforeach()

# Relative links, so the tree can move; the programs find their folder through the link.
install(CODE [[
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
    foreach(program zun zunl)
        if(EXISTS "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/zun/${program}")
            file(CREATE_LINK "../lib/zun/${program}"
                 "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/${program}" SYMBOLIC)
        endif()
    endforeach()
]])

set(ZUN_DESKTOP ${PROJECT_SOURCE_DIR}/res/desktop)
install(FILES ${ZUN_DESKTOP}/zun.desktop ${ZUN_DESKTOP}/zun-new.desktop
        DESTINATION share/applications)
install(FILES ${ZUN_DESKTOP}/zun-mime.xml DESTINATION share/mime/packages RENAME zun.xml)
install(FILES ${ZUN_DESKTOP}/zun.svg DESTINATION share/icons/hicolor/scalable/apps)
