#include "AnnotationArguments.h"

#include "Diagnostics.h"
#include "TypeText.h"

namespace HeaderTool
{
	namespace
	{
		bool isAnnotationMacro(const Token& token)
		{
			static const char* const names[] = {"UCLASS", "USTRUCT", "UENUM", "UPROPERTY", "UFUNCTION", "UINTERFACE", "GENERATED_BODY", "GENERATED_UCLASS_BODY", "GENERATED_USTRUCT_BODY"};
			if (!token.isIdentifier())
			{
				return false;
			}
			for (const char* name : names)
			{
				if (token.text == name)
				{
					return true;
				}
			}
			return false;
		}

		class SpecifierReader
		{
		public:
			SpecifierReader(const std::vector<Token>& tokens, size_t& pos, const std::string& macro, int macroLine)
				: tokens(tokens)
				, pos(pos)
				, macro(macro)
				, macroLine(macroLine)
			{
			}

			std::vector<Specifier> readList()
			{
				std::vector<Specifier> list;
				expect("(");
				if (current().is(")"))
				{
					++pos;
					return list;
				}
				while (true)
				{
					list.push_back(readItem());
					if (current().is(","))
					{
						++pos;
						if (current().is(")")) // trailing comma
						{
							++pos;
							return list;
						}
						continue;
					}
					expect(")");
					return list;
				}
			}

		private:
			const Token& current()
			{
				const Token& token = tokens[pos];
				if (token.kind == TokenKind::End || token.is(";") || token.is("{") || token.is("}") || isAnnotationMacro(token))
				{
					throw ParseError(macroLine, "unterminated " + macro + "(");
				}
				return token;
			}

			void expect(const char* symbol)
			{
				const Token& token = current();
				if (!token.is(symbol))
				{
					throw ParseError(token.line, std::string("expected '") + symbol + "' in " + macro + "(...), found '" + token.text + "'");
				}
				++pos;
			}

			// Reads a value up to the next ',' or ')' at this nesting level.
			std::string readValue()
			{
				std::string text;
				int depth = 0;
				const Token* previous = nullptr;
				while (true)
				{
					const Token& token = current();
					if (depth == 0 && (token.is(",") || token.is(")")))
					{
						break;
					}
					if (token.is("("))
					{
						++depth;
					}
					else if (token.is(")"))
					{
						--depth;
					}
					const bool bWord = token.kind == TokenKind::Identifier || token.kind == TokenKind::Number;
					if (previous && bWord && (previous->kind == TokenKind::Identifier || previous->kind == TokenKind::Number))
					{
						text += ' ';
					}
					text += token.text;
					previous = &token;
					++pos;
				}
				if (previous == nullptr)
				{
					throw ParseError(tokens[pos].line, "missing value in " + macro + "(...)");
				}
				return text;
			}

			Specifier readItem()
			{
				const Token& keyToken = current();
				if (!keyToken.isIdentifier())
				{
					throw ParseError(keyToken.line, "unexpected '" + keyToken.text + "' in " + macro + "(...)");
				}
				Specifier specifier;
				specifier.key = keyToken.text;
				specifier.line = keyToken.line;
				++pos;
				const bool bMeta = equalsIgnoreCase(specifier.key, "meta");
				if (!current().is("="))
				{
					if (bMeta)
					{
						throw ParseError(specifier.line, "expected 'meta=(...)' in " + macro + "(...)");
					}
					return specifier;
				}
				++pos;
				specifier.bHasValue = true;
				if (bMeta)
				{
					if (!current().is("("))
					{
						throw ParseError(specifier.line, "expected 'meta=(...)' in " + macro + "(...)");
					}
					specifier.meta = readList();
					return specifier;
				}
				if (current().is("("))
				{
					++pos;
					while (!current().is(")"))
					{
						specifier.values.push_back(readValue());
						if (current().is(","))
						{
							++pos;
						}
					}
					++pos;
					return specifier;
				}
				specifier.values.push_back(readValue());
				return specifier;
			}

			const std::vector<Token>& tokens;
			size_t& pos;
			const std::string& macro;
			int macroLine;
		};

		std::string joinedValue(const Specifier& specifier, const char* separator)
		{
			std::string text;
			for (size_t i = 0; i < specifier.values.size(); ++i)
			{
				if (i > 0)
				{
					text += separator;
				}
				text += specifier.values[i];
			}
			return text;
		}

		[[noreturn]] void unknown(const Specifier& specifier, const char* macro);

		void noValue(const Specifier& specifier, const char* macro)
		{
			if (equalsIgnoreCase(specifier.key, "DisplayName"))
			{
				unknown(specifier, macro);
			}
			if (specifier.bHasValue)
			{
				throw ParseError(specifier.line, "'" + specifier.key + "' takes no value in " + macro + "(...)");
			}
		}

		std::string requireValue(const Specifier& specifier, const char* macro)
		{
			if (!specifier.bHasValue || specifier.values.empty())
			{
				throw ParseError(specifier.line, "'" + specifier.key + "' needs a value in " + macro + "(...)");
			}
			return joinedValue(specifier, " ");
		}

		void applyMeta(const Specifier& specifier, MetaData& meta)
		{
			for (const Specifier& entry : specifier.meta)
			{
				if (!entry.meta.empty())
				{
					throw ParseError(entry.line, "nested meta=(...) is not allowed");
				}
				meta.set(entry.key, joinedValue(entry, " "));
			}
		}

		[[noreturn]] void unknown(const Specifier& specifier, const char* macro)
		{
			if (equalsIgnoreCase(specifier.key, "DisplayName"))
			{
				throw ParseError(specifier.line, "'DisplayName' is only valid inside meta=(...) in " + std::string(macro) + "(...)");
			}
			throw ParseError(specifier.line, "unknown " + std::string(macro) + " specifier '" + specifier.key + "'");
		}

		bool parseBool(const Specifier& specifier, const char* macro)
		{
			if (!specifier.bHasValue)
			{
				return true;
			}
			const std::string value = toLower(joinedValue(specifier, ""));
			if (value == "true")
			{
				return true;
			}
			if (value == "false")
			{
				return false;
			}
			throw ParseError(specifier.line, "'" + specifier.key + "' expects true or false in " + macro + "(...)");
		}

		// Every macro reads its list the same way: meta=(...), then the specifiers that take a value,
		// then the ones that must not. Each handler gets the lower-case key and says whether it knew it.
		template <typename ValueHandler, typename FlagHandler>
		void applySpecifiers(const std::vector<Specifier>& specifiers, const char* macro, MetaData& meta, ValueHandler&& valueSpecifier,
			FlagHandler&& flagSpecifier)
		{
			for (const Specifier& s : specifiers)
			{
				const std::string key = toLower(s.key);
				if (key == "meta")
				{
					applyMeta(s, meta);
					continue;
				}
				if (valueSpecifier(s, key))
				{
					continue;
				}
				noValue(s, macro);
				if (!flagSpecifier(s, key))
				{
					unknown(s, macro);
				}
			}
		}

		bool noValueSpecifiers(const Specifier&, const std::string&) { return false; }
	}

	std::vector<Specifier> parseSpecifiers(const std::vector<Token>& tokens, size_t& pos, const std::string& macro, int macroLine)
	{
		if (!tokens[pos].is("("))
		{
			throw ParseError(macroLine, "expected '(' after " + macro);
		}
		return SpecifierReader(tokens, pos, macro, macroLine).readList();
	}

	void applyClassSpecifiers(const std::vector<Specifier>& specifiers, ClassDef& def)
	{
		const char* macro = "UCLASS";
		std::string hideCategories;
		std::string showCategories;
		const auto valueSpecifier = [&](const Specifier& s, const std::string& key) {
			if (key == "config")
			{
				def.configName = requireValue(s, macro);
				def.flags.add("CLASS_Config");
			}
			else if (key == "classgroup")
			{
				def.meta.set("ClassGroupNames", requireValue(s, macro));
			}
			else if (key == "hidecategories" || key == "showcategories")
			{
				std::string& target = key == "hidecategories" ? hideCategories : showCategories;
				const std::string value = requireValue(s, macro);
				target += (target.empty() ? "" : " ") + value;
				def.meta.set(key == "hidecategories" ? "HideCategories" : "ShowCategories", target);
			}
			else if (key == "within")
			{
				def.meta.set("Within", requireValue(s, macro));
			}
			else
			{
				return false;
			}
			return true;
		};
		const auto flagSpecifier = [&](const Specifier&, const std::string& key) {
			static const std::pair<const char*, const char*> flagSpecifiers[] = {
				{"abstract", "CLASS_Abstract"},
				{"defaultconfig", "CLASS_DefaultConfig"},
				{"globaluserconfig", "CLASS_GlobalUserConfig"},
				{"projectuserconfig", "CLASS_ProjectUserConfig"},
				{"transient", "CLASS_Transient"},
				{"minimalapi", "CLASS_MinimalAPI"},
				{"editinlinenew", "CLASS_EditInlineNew"},
			};
			static const std::pair<const char*, const char*> metaSpecifiers[] = {
				{"defaulttoinstanced", "DefaultToInstanced"},
				{"collapsecategories", "CollapseCategories"},
				{"hidedropdown", "HideDropdown"},
				{"const", "Const"},
				{"deprecated", "Deprecated"},
				{"experimental", "Experimental"},
				{"blueprinttype", "BlueprintType"},
				{"notblueprinttype", "NotBlueprintType"},
			};
			bool bKnown = false;
			for (const auto& [name, flag] : flagSpecifiers)
			{
				if (key == name)
				{
					def.flags.add(flag);
					bKnown = true;
				}
			}
			for (const auto& [name, metaKey] : metaSpecifiers)
			{
				if (key == name)
				{
					def.meta.set(metaKey, "true");
					bKnown = true;
				}
			}
			if (key == "blueprintable")
			{
				def.meta.set("IsBlueprintBase", "true");
				def.meta.set("BlueprintType", "true");
				bKnown = true;
			}
			else if (key == "notblueprintable")
			{
				def.meta.set("IsBlueprintBase", "false");
				bKnown = true;
			}
			return bKnown;
		};
		applySpecifiers(specifiers, macro, def.meta, valueSpecifier, flagSpecifier);
	}

	void applyStructSpecifiers(const std::vector<Specifier>& specifiers, StructDef& def)
	{
		applySpecifiers(specifiers, "USTRUCT", def.meta, noValueSpecifiers, [&](const Specifier& s, const std::string& key) {
			if (key == "blueprinttype")
			{
				def.meta.set("BlueprintType", "true");
			}
			else if (key == "atomic")
			{
				def.flags.add("STRUCT_Atomic");
			}
			else if (key == "immutable")
			{
				def.flags.add("STRUCT_Immutable");
			}
			else if (key == "noexport")
			{
				throw ParseError(s.line, "USTRUCT(NoExport) is not supported: the struct's descriptor is always generated");
			}
			else
			{
				return false;
			}
			return true;
		});
	}

	void applyEnumSpecifiers(const std::vector<Specifier>& specifiers, EnumDef& def)
	{
		applySpecifiers(specifiers, "UENUM", def.meta, noValueSpecifiers, [&](const Specifier&, const std::string& key) {
			if (key == "blueprinttype")
			{
				def.meta.set("BlueprintType", "true");
			}
			else if (key == "flags")
			{
				def.meta.set("Bitflags", "true");
			}
			else
			{
				return false;
			}
			return true;
		});
	}

	void applyEnumeratorSpecifiers(const std::vector<Specifier>& specifiers, EnumeratorDef& def)
	{
		for (const Specifier& s : specifiers)
		{
			if (equalsIgnoreCase(s.key, "meta"))
			{
				applyMeta(s, def.meta);
				continue;
			}
			def.meta.set(s.key, joinedValue(s, " "));
		}
	}

	void applyPropertySpecifiers(const std::vector<Specifier>& specifiers, PropertyDef& def)
	{
		const char* macro = "UPROPERTY";
		const Specifier* editSpecifier = nullptr;
		const Specifier* blueprintAccess = nullptr;
		const auto valueSpecifier = [&](const Specifier& s, const std::string& key) {
			if (key != "category")
			{
				return false;
			}
			def.meta.set("Category", requireValue(s, macro));
			return true;
		};
		const auto flagSpecifier = [&](const Specifier& s, const std::string& key) {
			static const std::pair<const char*, std::vector<const char*>> editSpecifiers[] = {
				{"editanywhere", {"CPF_Edit"}},
				{"editdefaultsonly", {"CPF_Edit", "CPF_DisableEditOnInstance"}},
				{"editinstanceonly", {"CPF_Edit", "CPF_DisableEditOnTemplate"}},
				{"visibleanywhere", {"CPF_Edit", "CPF_EditConst"}},
				{"visibledefaultsonly", {"CPF_Edit", "CPF_EditConst", "CPF_DisableEditOnInstance"}},
				{"visibleinstanceonly", {"CPF_Edit", "CPF_EditConst", "CPF_DisableEditOnTemplate"}},
			};
			static const std::pair<const char*, std::vector<const char*>> flagSpecifiers[] = {
				{"blueprintassignable", {"CPF_BlueprintAssignable"}},
				{"blueprintcallable", {"CPF_BlueprintCallable"}},
				{"config", {"CPF_Config"}},
				{"globalconfig", {"CPF_Config", "CPF_GlobalConfig"}},
				{"transient", {"CPF_Transient"}},
				{"interp", {"CPF_Edit", "CPF_BlueprintVisible", "CPF_Interp"}},
				{"savegame", {"CPF_SaveGame"}},
				{"advanceddisplay", {"CPF_AdvancedDisplay"}},
				{"simpledisplay", {"CPF_SimpleDisplay"}},
				{"instanced", {"CPF_InstancedReference", "CPF_ExportObject"}},
				{"export", {"CPF_ExportObject"}},
				{"editfixedsize", {"CPF_EditFixedSize"}},
			};
			static const std::pair<const char*, std::vector<const char*>> blueprintSpecifiers[] = {
				{"blueprintreadwrite", {"CPF_BlueprintVisible"}},
				{"blueprintreadonly", {"CPF_BlueprintVisible", "CPF_BlueprintReadOnly"}},
			};

			bool bKnown = false;
			for (const auto& [name, flags] : editSpecifiers)
			{
				if (key == name)
				{
					if (editSpecifier)
					{
						throw ParseError(s.line, "'" + s.key + "' conflicts with '" + editSpecifier->key + "'");
					}
					editSpecifier = &s;
					for (const char* flag : flags)
					{
						def.flags.add(flag);
					}
					bKnown = true;
				}
			}
			for (const auto& [name, flags] : blueprintSpecifiers)
			{
				if (key == name)
				{
					if (blueprintAccess)
					{
						throw ParseError(s.line, "'" + s.key + "' conflicts with '" + blueprintAccess->key + "'");
					}
					blueprintAccess = &s;
					for (const char* flag : flags)
					{
						def.flags.add(flag);
					}
					bKnown = true;
				}
			}
			for (const auto& [name, flags] : flagSpecifiers)
			{
				if (key == name)
				{
					for (const char* flag : flags)
					{
						def.flags.add(flag);
					}
					bKnown = true;
				}
			}
			if (key == "instanced")
			{
				def.meta.set("EditInline", "true");
			}
			return bKnown;
		};
		applySpecifiers(specifiers, macro, def.meta, valueSpecifier, flagSpecifier);
	}

	void applyFunctionSpecifiers(const std::vector<Specifier>& specifiers, FunctionDef& def)
	{
		const char* macro = "UFUNCTION";
		const Specifier* eventSpecifier = nullptr;
		const auto valueSpecifier = [&](const Specifier& s, const std::string& key) {
			if (key == "category")
			{
				def.meta.set("Category", requireValue(s, macro));
			}
			else if (key == "blueprintpure")
			{
				def.flags.add("FUNC_BlueprintCallable");
				if (parseBool(s, macro))
				{
					def.flags.add("FUNC_BlueprintPure");
				}
			}
			else
			{
				return false;
			}
			return true;
		};
		const auto flagSpecifier = [&](const Specifier& s, const std::string& key) {
			if (key == "blueprintcallable")
			{
				def.flags.add("FUNC_BlueprintCallable");
			}
			else if (key == "blueprintimplementableevent" || key == "blueprintnativeevent")
			{
				if (eventSpecifier)
				{
					throw ParseError(s.line, "'" + s.key + "' conflicts with '" + eventSpecifier->key + "'");
				}
				eventSpecifier = &s;
				def.bEvent = true;
				def.bNativeEvent = key == "blueprintnativeevent";
			}
			else if (key == "callineditor")
			{
				def.meta.set("CallInEditor", "true");
			}
			else if (key == "exec")
			{
				def.flags.add("FUNC_Exec");
			}
			else if (key == "blueprintauthorityonly")
			{
				def.flags.add("FUNC_BlueprintAuthorityOnly");
			}
			else if (key == "blueprintcosmetic")
			{
				def.flags.add("FUNC_BlueprintCosmetic");
			}
			else
			{
				return false;
			}
			return true;
		};
		applySpecifiers(specifiers, macro, def.meta, valueSpecifier, flagSpecifier);
	}

	bool applyParamSpecifiers(const std::vector<Specifier>& specifiers, ParamDef& def)
	{
		const char* macro = "UPARAM";
		bool bRef = false;
		for (const Specifier& s : specifiers)
		{
			const std::string key = toLower(s.key);
			if (key == "meta")
			{
				applyMeta(s, def.meta);
			}
			else if (key == "displayname")
			{
				def.meta.set("DisplayName", requireValue(s, macro));
			}
			else if (key == "ref")
			{
				noValue(s, macro);
				bRef = true;
			}
			else
			{
				throw ParseError(s.line, "unknown UPARAM specifier '" + s.key + "'");
			}
		}
		return bRef;
	}
}
