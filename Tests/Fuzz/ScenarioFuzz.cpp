// Arbitrary bytes as a scenario file, parsed and checked as `quarnlive run` does before the
// engine boots. Bad input must end in an InputError; any other exception, a crash or a
// sanitizer report is a finding. Picture names resolve against Examples/, where the seeds live.

#include "Errors.h"
#include "Scenario/Scenario.h"
#include "Scenario/ScenarioFiles.h"
#include "Json/JsonFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
	quarnlive::scenario::setBaseFolder(QUARN_EXAMPLES_DIR);
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
	const std::string text(reinterpret_cast<const char*>(data), size);
	try
	{
		const quarnlive::scenario::Scenario scenario = quarnlive::scenario::parse(quarnlive::json::parseDocument(text));
		// A scenario that passes its checks runs within the frame limit.
		if (scenario.defaultEnd() * scenario.frameRate > static_cast<double>(quarnlive::scenario::maxFrames))
		{
			__builtin_trap();
		}
	}
	catch (const quarnlive::InputError&)
	{
	}
	return 0;
}
