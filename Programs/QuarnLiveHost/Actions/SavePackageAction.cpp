// savePackage {duration}: the editor saves a package for a while (GIsSavingPackage).

#include "Actions/Action.h"

#include "UObject/Object.h"

#include <algorithm>
#include <limits>

namespace quarnlive::actions
{
	namespace
	{
		class SavePackageAction final : public Action
		{
		public:
			std::string_view name() const override { return "savePackage"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				json::readNumber(entry.require("duration"), entry.pathOf("duration"), 0.0, std::numeric_limits<double>::infinity());
			}

			void run(const nlohmann::ordered_json& arguments, Context& context) const override
			{
				GIsSavingPackage = true;
				const double until = context.now + arguments.at("duration").get<double>();
				// Overlapping saves keep the flag up until the last one is over.
				context.savingPackageUntil = std::max(until, context.savingPackageUntil.value_or(until));
			}
		};
	} // namespace

	const Action& savePackageAction()
	{
		static const SavePackageAction action;
		return action;
	}
} // namespace quarnlive::actions
