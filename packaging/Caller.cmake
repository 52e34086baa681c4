# Install rules of bingo-caller's desktop entry and icon, beside bingo's.
install(FILES bingo-caller.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 256)
    install(FILES icons/bingo-caller-${size}.png RENAME bingo-caller.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES icons/bingo-caller.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
