# Precompiled headers: the Qt and standard headers that nearly every file of the Qt
# libraries includes are parsed once, in tessarin_pch_KIND, and those libraries reuse the
# result instead of parsing them again for each of their files. GCC uses a precompiled
# header only where the Qt module macros it was made with (QT_WIDGETS_LIB, ...) are
# defined the same way, hence one for the libraries on Qt Widgets, one for those on QtGui
# and one for those on QtCore alone. (The programs themselves are built
# position-independent, unlike these libraries, so they could share none of them.)
option(TESSARIN_PCH "Precompile the Qt headers of the window's and the server's libraries" ON)

if(TESSARIN_PCH)
    set(standard_headers <algorithm> <array> <chrono> <cstdint> <functional> <memory>
        <optional> <string> <string_view> <vector>)

    add_library(tessarin_pch_widgets STATIC ${CMAKE_CURRENT_LIST_DIR}/pch.cpp)
    target_link_libraries(tessarin_pch_widgets PRIVATE Qt6::Widgets)
    set_target_properties(tessarin_pch_widgets PROPERTIES AUTOMOC OFF)
    target_precompile_headers(tessarin_pch_widgets PRIVATE ${standard_headers}
        <QAction> <QApplication> <QDialog> <QFile> <QHBoxLayout> <QLabel> <QListWidget>
        <QMenu> <QMessageBox> <QMouseEvent> <QPainter> <QPainterPath> <QPixmap>
        <QPushButton> <QString> <QStringList> <QTimer> <QUrl> <QVBoxLayout> <QWidget>)

    add_library(tessarin_pch_gui STATIC ${CMAKE_CURRENT_LIST_DIR}/pch.cpp)
    target_link_libraries(tessarin_pch_gui PRIVATE Qt6::Gui)
    set_target_properties(tessarin_pch_gui PROPERTIES AUTOMOC OFF)
    target_precompile_headers(tessarin_pch_gui PRIVATE ${standard_headers}
        <QColor> <QFont> <QImage> <QLinearGradient> <QPainter> <QPainterPath> <QPixmap>
        <QString>)

    add_library(tessarin_pch_core STATIC ${CMAKE_CURRENT_LIST_DIR}/pch.cpp)
    target_link_libraries(tessarin_pch_core PRIVATE Qt6::Core)
    set_target_properties(tessarin_pch_core PROPERTIES AUTOMOC OFF)
    target_precompile_headers(tessarin_pch_core PRIVATE ${standard_headers}
        <QByteArray> <QCommandLineParser> <QDir> <QFile> <QFileInfo> <QObject> <QString>
        <QStringList> <QTimer> <QUrl>)
endif()

# Makes TARGET, a static library on Qt Widgets (KIND widgets), on QtGui without Widgets
# (gui) or on QtCore alone, with or without QtNetwork (core), use those precompiled headers.
function(tessarin_precompiled target kind)
    if(TESSARIN_PCH)
        target_precompile_headers(${target} REUSE_FROM tessarin_pch_${kind})
    endif()
endfunction()
