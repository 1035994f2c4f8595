#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

namespace quarnlive::state
{
	/** One key of a state section: how it is checked, its default, and how it reaches the stand-ins. */
	struct Field
	{
		std::string key;
		/** What a key falls back to when a timeline patch removes it. */
		nlohmann::ordered_json defaultValue;
		/** Throws an InputError naming path when value is not acceptable. */
		std::function<void(const nlohmann::ordered_json& value, const std::string& path)> validate;
		/** Hands the value to the stand-in; called with the engine running. */
		std::function<void(const nlohmann::ordered_json& value)> apply;
		/** Also applied before boot, because it decides what the engine creates. */
		bool beforeBoot = false;
	};

	/**
	 * One section of the studio state ("zentrels", "vpSettings", ...): an object of optional
	 * keys. Keys that a scenario leaves out are not applied, so the stand-ins (and the
	 * project's config) keep their own values.
	 */
	class Section
	{
	public:
		Section(std::string key, std::vector<Field> fields);

		const std::string& key() const { return key_; }
		const std::vector<Field>& fields() const { return fields_; }

		void validate(const nlohmann::ordered_json& value, const std::string& path) const;
		void applyBeforeBoot(const nlohmann::ordered_json& value) const;
		/**
		 * Applies every key present in value, in field order. previous is the section as it
		 * was last applied: a key present there and gone now returns to its default.
		 */
		void apply(const nlohmann::ordered_json& value, const nlohmann::ordered_json& previous) const;

	private:
		std::string key_;
		std::vector<Field> fields_;
	};
} // namespace quarnlive::state
