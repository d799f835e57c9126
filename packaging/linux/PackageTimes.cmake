# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack after it has installed the files into its staging folder and before it packs them: with
# SOURCE_DATE_EPOCH set, every file and folder gets that time, so that a package does not carry the
# times at which one build folder happened to write its files.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND find ${CPACK_TEMPORARY_INSTALL_DIRECTORY} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
                    COMMAND_ERROR_IS_FATAL ANY)
endif()
