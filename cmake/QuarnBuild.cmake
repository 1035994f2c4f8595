# Build helpers: one to add an engine or plug-in module (sources, header tool step,
# include paths), one to add a GoogleTest target.

set(QUARN_WARNING_FLAGS -Wall -Wextra -Werror -Wno-unused-parameter)

function(quarn_warnings TARGET)
	target_compile_options(${TARGET} PRIVATE ${QUARN_WARNING_FLAGS})
endfunction()

# quarn_add_module(<Name> DIR <module folder> [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
# Builds Public/ + Private/ of a module into a shared library named after the module.
# Headers that include "<Stem>.generated.h" go through the header tool first.
function(quarn_add_module NAME)
	cmake_parse_arguments(ARG "" "DIR" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
	file(GLOB_RECURSE SOURCES CONFIGURE_DEPENDS ${ARG_DIR}/Private/*.cpp)
	file(GLOB_RECURSE HEADERS CONFIGURE_DEPENDS ${ARG_DIR}/Public/*.h ${ARG_DIR}/Private/*.h)

	set(GENERATED_DIR ${CMAKE_BINARY_DIR}/Generated/${NAME})
	set(REFLECTED_HEADERS "")
	set(GENERATED_FILES "")
	set(GENERATED_SOURCES "")
	foreach(HEADER ${HEADERS})
		get_filename_component(STEM ${HEADER} NAME_WE)
		file(STRINGS ${HEADER} GENERATED_INCLUDE REGEX "#include \"${STEM}\\.generated\\.h\"")
		if(GENERATED_INCLUDE)
			list(APPEND REFLECTED_HEADERS ${HEADER})
			list(APPEND GENERATED_FILES ${GENERATED_DIR}/${STEM}.generated.h ${GENERATED_DIR}/${STEM}.gen.cpp)
			list(APPEND GENERATED_SOURCES ${GENERATED_DIR}/${STEM}.gen.cpp)
		endif()
	endforeach()
	if(REFLECTED_HEADERS)
		add_custom_command(
			OUTPUT ${GENERATED_FILES}
			COMMAND HeaderTool --module ${NAME} --package /Script/${NAME} --output ${GENERATED_DIR} ${REFLECTED_HEADERS}
			DEPENDS HeaderTool ${REFLECTED_HEADERS}
			COMMENT "Reflecting ${NAME}"
			VERBATIM)
	endif()

	add_library(${NAME} SHARED ${SOURCES} ${GENERATED_SOURCES})
	target_include_directories(${NAME} PUBLIC ${ARG_DIR}/Public ${GENERATED_DIR} PRIVATE ${ARG_DIR}/Private)
	target_link_libraries(${NAME} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
	string(TOUPPER ${NAME} UPPER_NAME)
	target_compile_definitions(${NAME} PUBLIC "${UPPER_NAME}_API=__attribute__((visibility(\"default\")))")
	set_target_properties(${NAME} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
	quarn_warnings(${NAME})
endfunction()

# quarn_add_test(<Name> SOURCES ... LIBS ... [LABELS ...] [PROPERTIES <name> <value> ...])
function(quarn_add_test NAME)
	cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
	add_executable(${NAME} ${ARG_SOURCES})
	target_link_libraries(${NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
	target_include_directories(${NAME} PRIVATE ${PROJECT_SOURCE_DIR}/Tests/Common)
	quarn_warnings(${NAME})
	if(ARG_PROPERTIES)
		gtest_discover_tests(${NAME} PROPERTIES ${ARG_PROPERTIES} DISCOVERY_TIMEOUT 60)
	else()
		gtest_discover_tests(${NAME} DISCOVERY_TIMEOUT 60)
	endif()
	# The discovery script flattens a list given in PROPERTIES, so several labels are set
	# after it has run, from a file of their own.
	if(ARG_LABELS)
		set(LABELS_FILE ${CMAKE_CURRENT_BINARY_DIR}/${NAME}Labels.cmake)
		file(WRITE ${LABELS_FILE}
			"foreach(test IN LISTS ${NAME}_TESTS)\n\tset_tests_properties(\"\${test}\" PROPERTIES LABELS \"${ARG_LABELS}\")\nendforeach()\n")
		set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${LABELS_FILE})
	endif()
endfunction()

# quarn_read_module_rules(<Build.cs file> <public var> <private var>)
# Reads PublicDependencyModuleNames and PrivateDependencyModuleNames from a module's rules
# file, so the engine's build tool and ours build the module from one list.
function(quarn_read_module_rules RULES_FILE PUBLIC_VAR PRIVATE_VAR)
	file(READ ${RULES_FILE} RULES)
	set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${RULES_FILE})
	foreach(KIND Public Private)
		string(REGEX MATCH "${KIND}DependencyModuleNames\\.AddRange\\([^;]*;" BLOCK "${RULES}")
		if(NOT BLOCK)
			message(FATAL_ERROR "${RULES_FILE}: no ${KIND}DependencyModuleNames.AddRange(...)")
		endif()
		string(REGEX MATCHALL "\"[A-Za-z0-9_]+\"" QUOTED "${BLOCK}")
		set(NAMES "")
		foreach(ITEM ${QUOTED})
			string(REPLACE "\"" "" ITEM ${ITEM})
			list(APPEND NAMES ${ITEM})
		endforeach()
		set(${KIND}_NAMES ${NAMES})
	endforeach()
	set(${PUBLIC_VAR} ${Public_NAMES} PARENT_SCOPE)
	set(${PRIVATE_VAR} ${Private_NAMES} PARENT_SCOPE)
endfunction()
