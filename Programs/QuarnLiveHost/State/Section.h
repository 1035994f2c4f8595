#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

namespace quarnlive::state
{
	struct RunState;

	/** One key of a state section: how it is checked, its default, and how it reaches the stand-ins. */
	struct Field
	{
		using Check = std::function<void(const nlohmann::ordered_json& value, const std::string& path)>;
		/** Sets the stand-in's own state; nothing of it stays with the run. */
		using SetStandIn = std::function<void(const nlohmann::ordered_json& value)>;
		/** Also keeps what it made in the engine, or chose for the boot, in the run's state. */
		using ApplyToRun = std::function<void(const nlohmann::ordered_json& value, RunState& run)>;

		Field(std::string key, nlohmann::ordered_json defaultValue, Check validate, SetStandIn apply, bool beforeBoot = false);
		Field(std::string key, nlohmann::ordered_json defaultValue, Check validate, ApplyToRun apply, bool beforeBoot = false);

		std::string key;
		/** What a key falls back to when a timeline patch removes it. */
		nlohmann::ordered_json defaultValue;
		/** Throws an InputError naming path when value is not acceptable. */
		Check validate;
		/** Hands the value to the stand-in; called with the engine running. */
		ApplyToRun apply;
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
		void applyBeforeBoot(const nlohmann::ordered_json& value, RunState& run) const;
		/**
		 * Applies every key present in value, in field order. previous is the section as it
		 * was last applied: a key present there and gone now returns to its default.
		 */
		void apply(const nlohmann::ordered_json& value, const nlohmann::ordered_json& previous, RunState& run) const;

	private:
		std::string key_;
		std::vector<Field> fields_;
	};
} // namespace quarnlive::state
