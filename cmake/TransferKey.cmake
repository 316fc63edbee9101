# The transfer key as a build input. With VT520_TRANSFER_KEY_FILE set, the
# file's 32 little-endian words become the table of usb/TransferKey.h for
# every target (program, emulator, tests); a file of any other size stops
# the configuration.
if(VT520_TRANSFER_KEY_FILE)
    get_filename_component(key_file "${VT520_TRANSFER_KEY_FILE}" ABSOLUTE)
    if(NOT EXISTS "${key_file}" OR IS_DIRECTORY "${key_file}")
        message(FATAL_ERROR "VT520_TRANSFER_KEY_FILE: ${key_file} does not exist")
    endif()
    file(SIZE "${key_file}" key_size)
    if(NOT key_size EQUAL 128)
        message(FATAL_ERROR "VT520_TRANSFER_KEY_FILE: ${key_file} holds ${key_size} bytes; "
                            "a transfer key file holds exactly 128 bytes (32 little-endian words)")
    endif()
    file(READ "${key_file}" key_hex HEX)
    set(key_words "")
    foreach(word RANGE 0 31)
        math(EXPR at "${word} * 8")
        string(SUBSTRING "${key_hex}" ${at} 8 le)
        string(REGEX REPLACE "^(..)(..)(..)(..)$" "\\4\\3\\2\\1" be "${le}")
        string(APPEND key_words "    0x${be}u,\n")
    endforeach()
    set(key_table "${CMAKE_BINARY_DIR}/generated/TransferKeyTable.inc")
    file(CONFIGURE OUTPUT "${key_table}"
         CONTENT "// Generated from ${key_file}\n${key_words}" @ONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${key_file}")
    add_compile_definitions(VT520_TRANSFER_KEY_TABLE="${key_table}")
    message(STATUS "Transfer key from ${key_file}")
endif()
