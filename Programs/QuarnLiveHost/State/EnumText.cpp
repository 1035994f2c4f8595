#include "State/EnumText.h"

#include "UObject/Class.h"

namespace quarnlive::state
{
	std::string quotedDisplayNames(const UEnum& enumeration)
	{
		std::string names;
		for (int32 index = 0; index < enumeration.NumEnums(); ++index)
		{
			names += names.empty() ? "\"" : ", \"";
			names += enumeration.GetDisplayNameTextByIndex(index).ToString().ToStdString() + "\"";
		}
		return names;
	}

	std::optional<int64> findValueByName(const UEnum& enumeration, const std::string& text)
	{
		for (int32 index = 0; index < enumeration.NumEnums(); ++index)
		{
			if (enumeration.GetDisplayNameTextByIndex(index).ToString().ToStdString() == text
				|| enumeration.GetNameStringByIndex(index).ToStdString() == text)
			{
				return enumeration.GetValueByIndex(index);
			}
		}
		return std::nullopt;
	}
} // namespace quarnlive::state
