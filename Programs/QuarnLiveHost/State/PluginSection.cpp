// "plugin": what the plug-in's runtime module says of the plug-in itself.

#include "State/FieldChecks.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "QuarnVirtualProductionModule.h"

namespace quarnlive::state
{
	const Section& pluginSection()
	{
		static const Section section("plugin", {
												   // null, the default, reads the descriptor's VersionName again.
												   Field{"version", nullptr, isString(), [](const nlohmann::ordered_json& value) {
															 IQuarnVirtualProductionModule::Get().PluginVersionOverride =
																 value.is_null() ? TOptional<FString>() : TOptional<FString>(FString(value.get<std::string>()));
														 }},
											   });
		return section;
	}
} // namespace quarnlive::state
