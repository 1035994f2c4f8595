// The header tool gives a config= class its StaticConfigName(); the class cannot declare its own.
#include "CompileFailureSettings.h"

const TCHAR* CompileFailureConfigClassStaticConfigName()
{
	return UCompileFailureSettings::StaticConfigName();
}
