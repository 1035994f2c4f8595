# cmake -DBUILD_DIR=... -DTARGET=... -DEXPECT=fail|pass [-DDIAGNOSTIC=<regex>] -P ExpectCompileFailure.cmake
# Builds one snippet target. A fault must fail to compile with the named diagnostic (so it
# cannot pass for another reason); its control, the same snippet without the fault, must build.
execute_process(
	COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
	RESULT_VARIABLE Result
	OUTPUT_VARIABLE Output
	ERROR_VARIABLE Output)
if(EXPECT STREQUAL "fail")
	if(Result EQUAL 0)
		message(FATAL_ERROR "${TARGET} compiled, but the compiler must reject it")
	endif()
	if(NOT Output MATCHES "${DIAGNOSTIC}")
		message(FATAL_ERROR "${TARGET} failed without the expected diagnostic '${DIAGNOSTIC}':\n${Output}")
	endif()
else()
	if(NOT Result EQUAL 0)
		message(FATAL_ERROR "${TARGET} must compile:\n${Output}")
	endif()
endif()
