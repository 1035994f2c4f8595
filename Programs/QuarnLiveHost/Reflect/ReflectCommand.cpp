#include "Reflect/ReflectCommand.h"

#include "Errors.h"
#include "Reflection/PropertyJson.h"

#include "UObject/Class.h"
#include "UObject/Object.h"
#include "UObject/ObjectMacros.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace quarnlive::reflect
{
	namespace
	{
		using Json = nlohmann::ordered_json;
		using FlagNames = std::initializer_list<std::pair<std::uint64_t, const char*>>;

		const FlagNames classFlags = {{CLASS_Abstract, "Abstract"}, {CLASS_DefaultConfig, "DefaultConfig"}, {CLASS_Config, "Config"},
			{CLASS_Transient, "Transient"}, {CLASS_Native, "Native"}, {CLASS_EditInlineNew, "EditInlineNew"}, {CLASS_MinimalAPI, "MinimalAPI"},
			{CLASS_GlobalUserConfig, "GlobalUserConfig"}, {CLASS_ProjectUserConfig, "ProjectUserConfig"}};
		const FlagNames structFlags = {{STRUCT_Native, "Native"}, {STRUCT_Atomic, "Atomic"}, {STRUCT_Immutable, "Immutable"}};
		const FlagNames functionFlags = {{FUNC_Final, "Final"}, {FUNC_BlueprintAuthorityOnly, "BlueprintAuthorityOnly"},
			{FUNC_BlueprintCosmetic, "BlueprintCosmetic"}, {FUNC_Net, "Net"}, {FUNC_Exec, "Exec"}, {FUNC_Native, "Native"}, {FUNC_Event, "Event"},
			{FUNC_Static, "Static"}, {FUNC_Public, "Public"}, {FUNC_Private, "Private"}, {FUNC_Protected, "Protected"}, {FUNC_Delegate, "Delegate"},
			{FUNC_MulticastDelegate, "MulticastDelegate"}, {FUNC_HasOutParms, "HasOutParms"}, {FUNC_BlueprintCallable, "BlueprintCallable"},
			{FUNC_BlueprintEvent, "BlueprintEvent"}, {FUNC_BlueprintPure, "BlueprintPure"}, {FUNC_EditorOnly, "EditorOnly"}, {FUNC_Const, "Const"}};
		const FlagNames propertyFlags = {{CPF_Edit, "Edit"}, {CPF_ConstParm, "ConstParm"}, {CPF_BlueprintVisible, "BlueprintVisible"},
			{CPF_ExportObject, "ExportObject"}, {CPF_BlueprintReadOnly, "BlueprintReadOnly"}, {CPF_Net, "Net"}, {CPF_EditFixedSize, "EditFixedSize"},
			{CPF_Parm, "Parm"}, {CPF_OutParm, "OutParm"}, {CPF_ZeroConstructor, "ZeroConstructor"}, {CPF_ReturnParm, "ReturnParm"},
			{CPF_DisableEditOnTemplate, "DisableEditOnTemplate"}, {CPF_Transient, "Transient"}, {CPF_Config, "Config"},
			{CPF_DisableEditOnInstance, "DisableEditOnInstance"}, {CPF_EditConst, "EditConst"}, {CPF_GlobalConfig, "GlobalConfig"},
			{CPF_InstancedReference, "InstancedReference"}, {CPF_SaveGame, "SaveGame"}, {CPF_Interp, "Interp"},
			{CPF_BlueprintAssignable, "BlueprintAssignable"}, {CPF_Deprecated, "Deprecated"}, {CPF_BlueprintCallable, "BlueprintCallable"},
			{CPF_AdvancedDisplay, "AdvancedDisplay"}, {CPF_NativeAccessSpecifierPublic, "NativeAccessSpecifierPublic"},
			{CPF_NativeAccessSpecifierProtected, "NativeAccessSpecifierProtected"}, {CPF_NativeAccessSpecifierPrivate, "NativeAccessSpecifierPrivate"},
			{CPF_ReferenceParm, "ReferenceParm"}, {CPF_SimpleDisplay, "SimpleDisplay"}};

		Json flagsJson(std::uint64_t flags, const FlagNames& names)
		{
			Json result = Json::array();
			for (const auto& [bit, name] : names)
			{
				if ((flags & bit) != 0)
				{
					result.push_back(name);
				}
			}
			return result;
		}

		Json metadataJson(const TMap<FName, FString>& metadata)
		{
			Json result = Json::object();
			for (const auto& [key, value] : metadata)
			{
				result[key.ToString().ToStdString()] = value.ToStdString();
			}
			return result;
		}

		Json propertyJson(const FProperty& property)
		{
			return Json{{"name", property.GetName().ToStdString()}, {"type", property.GetCPPType().ToStdString()},
				{"flags", flagsJson(property.GetPropertyFlags(), propertyFlags)}, {"metadata", metadataJson(property.GetMetaDataMap())}};
		}

		Json propertiesJson(const UStruct& type)
		{
			Json result = Json::array();
			for (const FProperty* property : type.GetOwnProperties())
			{
				result.push_back(propertyJson(*property));
			}
			return result;
		}

		Json functionJson(const UFunction& function)
		{
			Json parameters = Json::array();
			for (const FProperty* parameter : function.GetParameters())
			{
				parameters.push_back(propertyJson(*parameter));
			}
			return Json{{"name", function.GetName().ToStdString()}, {"flags", flagsJson(function.FunctionFlags, functionFlags)},
				{"metadata", metadataJson(function.GetMetaDataMap())}, {"parameters", std::move(parameters)}};
		}

		Json classJson(UClass& type)
		{
			Json functions = Json::array();
			for (const UFunction* function : type.GetOwnFunctions())
			{
				functions.push_back(functionJson(*function));
			}
			Json result = {{"kind", "class"}, {"name", type.GetName().ToStdString()}, {"path", type.GetStructPathName().ToStdString()},
				{"super", type.GetSuperClass() ? Json(type.GetSuperClass()->GetName().ToStdString()) : Json()},
				{"flags", flagsJson(type.ClassFlags, classFlags)}, {"metadata", metadataJson(type.GetMetaDataMap())},
				{"config", type.GetConfigName().IsNone() ? Json() : Json(type.GetConfigName().ToString().ToStdString())},
				{"properties", propertiesJson(type)}, {"functions", std::move(functions)}};
			const UObject* defaults = type.GetDefaultObject();
			Json values = Json::object();
			for (const FProperty* property : type.GetOwnProperties())
			{
				if (defaults && property->GetKind() != EPropertyKind::MulticastDelegate && property->GetKind() != EPropertyKind::Delegate)
				{
					values[property->GetName().ToStdString()] = reflection::valueJson(*property, property->ContainerPtrToValuePtr(defaults));
				}
			}
			result["defaults"] = defaults ? std::move(values) : Json();
			return result;
		}

		Json structJson(const UScriptStruct& type)
		{
			return Json{{"kind", "struct"}, {"name", type.GetName().ToStdString()}, {"path", type.GetStructPathName().ToStdString()},
				{"super", type.GetSuperStruct() ? Json(type.GetSuperStruct()->GetName().ToStdString()) : Json()},
				{"flags", flagsJson(type.StructFlags, structFlags)}, {"metadata", metadataJson(type.GetMetaDataMap())},
				{"properties", propertiesJson(type)}};
		}

		Json enumJson(const UEnum& type)
		{
			Json entries = Json::array();
			for (const UEnum::FEntry& entry : type.Entries)
			{
				entries.push_back(Json{{"name", entry.Name.ToString().ToStdString()}, {"value", entry.Value}, {"metadata", metadataJson(entry.MetaData)}});
			}
			return Json{{"kind", "enum"}, {"name", type.GetName().ToStdString()}, {"package", type.GetPackageName().ToStdString()},
				{"metadata", metadataJson(type.GetMetaDataMap())}, {"entries", std::move(entries)}};
		}

		/** The name as typed, then without its one-letter prefix. */
		Json findType(const std::string& name)
		{
			for (const std::string& candidate : {name, name.size() > 1 ? name.substr(1) : name})
			{
				const FString text(candidate);
				if (UClass* type = FReflectionRegistry::FindClass(text))
				{
					return classJson(*type);
				}
				for (const UScriptStruct* type : FReflectionRegistry::GetAllStructs())
				{
					if (type->GetName() == text)
					{
						return structJson(*type);
					}
				}
				for (const UEnum* type : FReflectionRegistry::GetAllEnums())
				{
					if (type->GetName() == text)
					{
						return enumJson(*type);
					}
				}
			}
			throw InputError("", "no reflected class, struct or enum named \"" + name + "\"");
		}

		void printMembers(const Json& members, const char* heading, std::FILE* out)
		{
			if (members.empty())
			{
				return;
			}
			std::fprintf(out, "%s:\n", heading);
			for (const Json& member : members)
			{
				const std::string type = member.contains("type") ? member["type"].get<std::string>() + " " : std::string();
				std::fprintf(out, "  %s%s  flags %s  metadata %s\n", type.c_str(), member["name"].get<std::string>().c_str(), member["flags"].dump().c_str(),
					member["metadata"].dump().c_str());
				if (member.contains("parameters"))
				{
					for (const Json& parameter : member["parameters"])
					{
						std::fprintf(out, "    (%s %s  flags %s)\n", parameter["type"].get<std::string>().c_str(), parameter["name"].get<std::string>().c_str(),
							parameter["flags"].dump().c_str());
					}
				}
			}
		}

		void printText(const Json& type, std::FILE* out)
		{
			std::fprintf(out, "%s %s\n", type["kind"].get<std::string>().c_str(), type["name"].get<std::string>().c_str());
			for (const char* key : {"path", "package", "super", "flags", "config", "metadata"})
			{
				if (type.contains(key) && !type[key].is_null())
				{
					std::fprintf(out, "%s: %s\n", key, type[key].is_string() ? type[key].get<std::string>().c_str() : type[key].dump().c_str());
				}
			}
			printMembers(type.value("properties", Json::array()), "properties", out);
			printMembers(type.value("functions", Json::array()), "functions", out);
			if (type.contains("entries"))
			{
				std::fprintf(out, "entries:\n");
				for (const Json& entry : type["entries"])
				{
					std::fprintf(out, "  %s = %s  metadata %s\n", entry["name"].get<std::string>().c_str(), entry["value"].dump().c_str(), entry["metadata"].dump().c_str());
				}
			}
			if (type.contains("defaults") && !type["defaults"].is_null())
			{
				std::fprintf(out, "defaults:\n");
				for (const auto& [name, value] : type["defaults"].items())
				{
					std::fprintf(out, "  %s = %s\n", name.c_str(), value.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
				}
			}
		}

		/** The object system, for the class default object; no configuration, no modules. */
		class ObjectSystem
		{
		public:
			ObjectSystem() { InitUObject(); }
			~ObjectSystem() { ShutdownUObject(); }
			ObjectSystem(const ObjectSystem&) = delete;
			ObjectSystem& operator=(const ObjectSystem&) = delete;
		};
	} // namespace

	void reflectType(const ReflectOptions& options, std::FILE* out)
	{
		const ObjectSystem objects;
		const Json type = findType(options.name);
		if (options.json)
		{
			std::fprintf(out, "%s\n", type.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
			return;
		}
		printText(type, out);
	}
} // namespace quarnlive::reflect
