#include "State/Section.h"

#include "Json/Checks.h"

namespace quarnlive::state
{
	namespace
	{
		const nlohmann::ordered_json* findKey(const nlohmann::ordered_json& object, const std::string& key)
		{
			if (!object.is_object())
			{
				return nullptr;
			}
			const auto found = object.find(key);
			return found == object.end() ? nullptr : &*found;
		}
	} // namespace

	Field::Field(std::string key, nlohmann::ordered_json defaultValue, Check validate, SetStandIn apply, bool beforeBoot)
		: Field(std::move(key), std::move(defaultValue), std::move(validate),
			ApplyToRun([apply = std::move(apply)](const nlohmann::ordered_json& value, RunState&) { apply(value); }), beforeBoot)
	{
	}

	Field::Field(std::string key, nlohmann::ordered_json defaultValue, Check validate, ApplyToRun apply, bool beforeBoot)
		: key(std::move(key))
		, defaultValue(std::move(defaultValue))
		, validate(std::move(validate))
		, apply(std::move(apply))
		, beforeBoot(beforeBoot)
	{
	}

	Section::Section(std::string key, std::vector<Field> fields)
		: key_(std::move(key))
		, fields_(std::move(fields))
	{
	}

	void Section::validate(const nlohmann::ordered_json& value, const std::string& path) const
	{
		json::ObjectReader reader(value, path);
		for (const Field& field : fields_)
		{
			if (const nlohmann::ordered_json* fieldValue = reader.find(field.key))
			{
				field.validate(*fieldValue, reader.pathOf(field.key));
			}
		}
		reader.rejectUnknown();
	}

	void Section::applyBeforeBoot(const nlohmann::ordered_json& value, RunState& run) const
	{
		for (const Field& field : fields_)
		{
			const nlohmann::ordered_json* fieldValue = findKey(value, field.key);
			if (field.beforeBoot && fieldValue)
			{
				field.apply(*fieldValue, run);
			}
		}
	}

	void Section::apply(const nlohmann::ordered_json& value, const nlohmann::ordered_json& previous, RunState& run) const
	{
		for (const Field& field : fields_)
		{
			if (const nlohmann::ordered_json* fieldValue = findKey(value, field.key))
			{
				field.apply(*fieldValue, run);
			}
			else if (findKey(previous, field.key))
			{
				field.apply(field.defaultValue, run);
			}
		}
	}
} // namespace quarnlive::state
