# The office's C++ UNO API: the headers are generated at build time from the
# installed type libraries (only the types we use), nothing generated is kept
# in the source tree. Defines the interface target lumarel_office_uno.

set(LUMAREL_OFFICE_PROGRAM_DIR "/usr/lib/libreoffice/program"
    CACHE PATH "The office's program folder (soffice, types.rdb)")
set(LUMAREL_OFFICE_SDK_DIR "/usr/lib/libreoffice/sdk" CACHE PATH "The office SDK")

find_program(LUMAREL_CPPUMAKER cppumaker HINTS "${LUMAREL_OFFICE_SDK_DIR}/bin" NO_DEFAULT_PATH)
find_path(LUMAREL_UNO_INCLUDE_DIR cppu/macros.hxx
          HINTS "${LUMAREL_OFFICE_SDK_DIR}/include" /usr/include/libreoffice)
set(_uno_libs)
foreach(lib uno_cppu uno_cppuhelpergcc3 uno_sal)
  find_library(LUMAREL_LIB_${lib} ${lib}
               HINTS "${LUMAREL_OFFICE_SDK_DIR}/lib" "${LUMAREL_OFFICE_PROGRAM_DIR}")
  list(APPEND _uno_libs ${LUMAREL_LIB_${lib}})
endforeach()
set(_office_rdbs "${LUMAREL_OFFICE_PROGRAM_DIR}/types.rdb"
                 "${LUMAREL_OFFICE_PROGRAM_DIR}/types/offapi.rdb")

if(NOT LUMAREL_CPPUMAKER OR NOT LUMAREL_UNO_INCLUDE_DIR OR NOT LUMAREL_LIB_uno_cppu
   OR NOT EXISTS "${LUMAREL_OFFICE_PROGRAM_DIR}/types/offapi.rdb")
  message(FATAL_ERROR "The office SDK was not found (scripts/install-deps installs "
                      "libreoffice-dev); looked in ${LUMAREL_OFFICE_SDK_DIR}")
endif()

# Every UNO type the generation layer names; dependencies come along.
set(LUMAREL_UNO_TYPES
    com.sun.star.beans.PropertyValue
    com.sun.star.beans.UnknownPropertyException
    com.sun.star.beans.XMultiPropertySet
    com.sun.star.awt.FontSlant
    com.sun.star.beans.XPropertySet
    com.sun.star.bridge.UnoUrlResolver
    com.sun.star.bridge.XUnoUrlResolver
    com.sun.star.connection.NoConnectException
    com.sun.star.container.XEnumeration
    com.sun.star.container.XEnumerationAccess
    com.sun.star.document.MacroExecMode
    com.sun.star.document.UpdateDocMode
    com.sun.star.frame.Desktop
    com.sun.star.frame.XComponentLoader
    com.sun.star.frame.XDesktop2
    com.sun.star.frame.XModel
    com.sun.star.frame.XStorable
    com.sun.star.io.IOException
    com.sun.star.lang.DisposedException
    com.sun.star.lang.XComponent
    com.sun.star.lang.XMultiComponentFactory
    com.sun.star.lang.XServiceInfo
    com.sun.star.table.XCell
    com.sun.star.text.XText
    com.sun.star.text.XTextDocument
    com.sun.star.text.XTextTable
    com.sun.star.text.XTextTablesSupplier
    com.sun.star.uno.DeploymentException
    com.sun.star.uno.XComponentContext
    com.sun.star.util.CloseVetoException
    com.sun.star.util.XCloseable
    com.sun.star.util.XReplaceable
    com.sun.star.util.XSearchable
    com.sun.star.view.XSelectionSupplier
    com.sun.star.container.XIndexAccess
    com.sun.star.container.XNameAccess
    com.sun.star.drawing.XDrawPageSupplier
    com.sun.star.drawing.XShapes
    com.sun.star.drawing.XShape
    com.sun.star.document.XRedlinesSupplier
    com.sun.star.document.XUndoManagerSupplier
    com.sun.star.document.XUndoManager
    com.sun.star.script.XLibraryContainer
    com.sun.star.script.XPersistentLibraryContainer
    com.sun.star.script.provider.theMasterScriptProviderFactory
    com.sun.star.script.provider.XScriptProviderFactory
    com.sun.star.script.provider.XScriptProvider
    com.sun.star.script.provider.XScript
    com.sun.star.container.XNameContainer
    com.sun.star.container.XNameReplace
    com.sun.star.configuration.theDefaultProvider
    com.sun.star.lang.XMultiServiceFactory
    com.sun.star.util.XChangesBatch
    com.sun.star.beans.NamedValue
    com.sun.star.frame.DispatchHelper
    com.sun.star.frame.XDispatchHelper
    com.sun.star.frame.XDispatchProvider
    com.sun.star.frame.XController
    com.sun.star.frame.XFrame
    com.sun.star.style.XStyleFamiliesSupplier
    com.sun.star.text.XFootnotesSupplier
    com.sun.star.text.XEndnotesSupplier
    com.sun.star.text.XTextFramesSupplier
    com.sun.star.text.XParagraphCursor
    com.sun.star.text.XTextCursor
    com.sun.star.text.XTextRange
    com.sun.star.text.XTextSectionsSupplier
    com.sun.star.util.XReplaceDescriptor
    com.sun.star.util.XRefreshable
    com.sun.star.text.XTextFieldsSupplier
    com.sun.star.text.XTextField
    com.sun.star.text.XTextContent
    com.sun.star.text.XDependentTextField
    com.sun.star.text.XBookmarksSupplier
    com.sun.star.container.XNamed
    com.sun.star.text.ReferenceFieldSource
    com.sun.star.text.ReferenceFieldPart
    com.sun.star.document.XDocumentPropertiesSupplier
    com.sun.star.document.XDocumentProperties)
list(JOIN LUMAREL_UNO_TYPES ";" _uno_type_arg)

set(LUMAREL_UNO_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated/uno")
set(_uno_stamp "${LUMAREL_UNO_GENERATED_DIR}/.stamp")
add_custom_command(
  OUTPUT "${_uno_stamp}"
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${LUMAREL_UNO_GENERATED_DIR}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${LUMAREL_UNO_GENERATED_DIR}"
  COMMAND "${LUMAREL_CPPUMAKER}" -Gc "-O${LUMAREL_UNO_GENERATED_DIR}" "-T${_uno_type_arg}"
          ${_office_rdbs}
  COMMAND ${CMAKE_COMMAND} -E touch "${_uno_stamp}"
  DEPENDS ${_office_rdbs} "${CMAKE_CURRENT_LIST_FILE}"
  COMMENT "Generating the office's UNO headers"
  VERBATIM)
add_custom_target(lumarel_uno_headers DEPENDS "${_uno_stamp}")

add_library(lumarel_office_uno INTERFACE)
add_dependencies(lumarel_office_uno lumarel_uno_headers)
# SYSTEM: the generated and SDK headers are not ours to warn about.
target_include_directories(lumarel_office_uno SYSTEM INTERFACE
                           "${LUMAREL_UNO_GENERATED_DIR}" "${LUMAREL_UNO_INCLUDE_DIR}")
target_compile_definitions(lumarel_office_uno INTERFACE LINUX UNX CPPU_ENV=gcc3
    LUMAREL_OFFICE_PROGRAM_DIR="${LUMAREL_OFFICE_PROGRAM_DIR}")
target_link_libraries(lumarel_office_uno INTERFACE ${_uno_libs})
# The UNO libraries pull in more of the office's own from its program folder.
target_link_options(lumarel_office_uno INTERFACE
                    "LINKER:-rpath-link,${LUMAREL_OFFICE_PROGRAM_DIR}"
                    "LINKER:-rpath,${LUMAREL_OFFICE_PROGRAM_DIR}")
