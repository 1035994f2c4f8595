#include "CodeWriter.h"

#include <cctype>
#include <cstdio>

namespace HeaderTool
{
	namespace
	{
		std::string identifierPart(const std::string& text)
		{
			std::string result;
			for (char c : text)
			{
				result += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
			}
			return result;
		}

		std::string upper(std::string text)
		{
			for (char& c : text)
			{
				c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
			}
			return text;
		}

		std::string fileId(const HeaderDef& header, const ModuleInfo& module)
		{
			return "FID_" + identifierPart(module.name) + "_" + identifierPart(header.stem) + "_h";
		}

		std::string fileName(const HeaderDef& header)
		{
			return header.stem + ".h";
		}

		std::string metaList(const MetaData& meta)
		{
			if (meta.items().empty())
			{
				return "{}";
			}
			std::string text = "{";
			bool bFirst = true;
			for (const auto& [key, value] : meta.items())
			{
				text += bFirst ? "" : ", ";
				text += "{" + textLiteral(key) + ", " + textLiteral(value) + "}";
				bFirst = false;
			}
			return text + "}";
		}

		std::string flagList(const FlagSet& flags)
		{
			if (flags.items().empty())
			{
				return "0";
			}
			std::string text;
			for (const std::string& flag : flags.items())
			{
				text += (text.empty() ? "" : " | ") + flag;
			}
			return text;
		}

		std::string withoutPrefix(const std::string& name)
		{
			return name.substr(1);
		}

		// MakeProperty call for a member of Owner; the access lambda returns the member's address.
		std::string makeProperty(const std::string& owner, const std::string& name, const std::string& cppType, const FlagSet& flags, const MetaData& meta, const std::string& separator)
		{
			return "UECodeGen::MakeProperty<decltype(" + owner + "::" + name + ")>(" + textLiteral(name) + ", " + textLiteral(cppType) + ", " + flagList(flags) + "," + separator
				+ "[](void* C) -> void* { return &static_cast<" + owner + "*>(C)->" + name + "; }," + separator + metaList(meta) + ")";
		}

		std::string parameterList(const std::string& parmsType, const std::vector<ParamDef>& params)
		{
			if (params.empty())
			{
				return "{}";
			}
			std::string text = "{";
			for (size_t i = 0; i < params.size(); ++i)
			{
				const ParamDef& param = params[i];
				text += i == 0 ? " " : ", ";
				text += makeProperty(parmsType, param.name, param.storageType, param.flags, param.meta, " ");
			}
			return text + " }";
		}

		std::string parmsStruct(const std::string& name, const std::vector<ParamDef>& params, const std::string& returnStorage)
		{
			std::string text = "struct " + name + " {";
			for (const ParamDef& param : params)
			{
				text += " " + param.storageType + " " + param.name + ";";
			}
			if (!returnStorage.empty())
			{
				text += " " + returnStorage + " ReturnValue;";
			}
			return text + " };";
		}

		class Writer
		{
		public:
			void line(const std::string& text = std::string())
			{
				out += text;
				out += '\n';
			}

			std::string out;
		};

		std::string parmsTypeName(const ClassDef& cls, const FunctionDef& function)
		{
			return withoutPrefix(cls.name) + "_event" + function.name + "_Parms";
		}

		std::string statics(const ClassDef& cls)
		{
			return "Z_Construct_UClass_" + cls.name + "_Statics";
		}

		void writeEnum(Writer& w, const EnumDef& def, const ModuleInfo& module)
		{
			w.line("template <> UEnum* StaticEnum<" + def.name + ">()");
			w.line("{");
			w.line("\tstatic UEnum* Enum = UECodeGen::ConstructEnum({" + textLiteral(def.name) + ", " + textLiteral(module.package) + ", " + metaList(def.meta) + "},");
			w.line("\t\t{");
			for (const EnumeratorDef& enumerator : def.enumerators)
			{
				const std::string reflectedName = def.bEnumClass ? def.name + "::" + enumerator.name : enumerator.name;
				w.line("\t\t\t{.NameUTF8 = " + textLiteral(reflectedName) + ", .Value = static_cast<int64>(" + def.name + "::" + enumerator.name + "), .MetaData = " + metaList(enumerator.meta) + "},");
			}
			w.line("\t\t});");
			w.line("\treturn Enum;");
			w.line("}");
			w.line("static UECodeGen::FRegisterCompiledInEnum Z_CompiledIn_UEnum_" + def.name + "(&StaticEnum<" + def.name + ">);");
			w.line();
		}

		void writeStruct(Writer& w, const StructDef& def, const ModuleInfo& module)
		{
			const std::string staticsName = "Z_Construct_UScriptStruct_" + def.name + "_Statics";
			w.line("struct " + staticsName);
			w.line("{");
			w.line("\tstatic UScriptStruct* Construct()");
			w.line("\t{");
			w.line("\t\treturn UECodeGen::ConstructStruct({" + textLiteral(withoutPrefix(def.name)) + ", " + textLiteral(module.package) + ", " + flagList(def.flags) + ", " + metaList(def.meta) + "},");
			w.line("\t\t\t" + (def.superName.empty() ? std::string("nullptr") : def.superName + "::StaticStruct()") + ", UECodeGen::MakeStructOps<" + def.name + ">(),");
			w.line("\t\t\t{");
			for (const PropertyDef& property : def.properties)
			{
				w.line("\t\t\t\t" + makeProperty(def.name, property.name, property.cppType, property.flags, property.meta, "\n\t\t\t\t\t") + ",");
			}
			w.line("\t\t\t});");
			w.line("\t}");
			w.line("};");
			w.line("UScriptStruct* " + def.name + "::StaticStruct()");
			w.line("{");
			w.line("\tstatic UScriptStruct* Struct = " + staticsName + "::Construct();");
			w.line("\treturn Struct;");
			w.line("}");
			w.line("template <> UScriptStruct* StaticStruct<" + def.name + ">() { return " + def.name + "::StaticStruct(); }");
			w.line("static UECodeGen::FRegisterCompiledInStruct Z_CompiledIn_UScriptStruct_" + def.name + "(&StaticStruct<" + def.name + ">);");
			w.line();
		}

		void writeDelegate(Writer& w, const DelegateDef& def, const ModuleInfo& module)
		{
			const std::string shortName = withoutPrefix(def.name);
			const std::string staticsName = "Z_Construct_UDelegateFunction_" + shortName + "_Statics";
			w.line("struct " + staticsName);
			w.line("{");
			w.line("\t" + parmsStruct("Parms", def.params, std::string()));
			w.line("\tstatic UFunction* Construct()");
			w.line("\t{");
			w.line("\t\treturn UECodeGen::ConstructDelegateSignature({" + textLiteral(shortName + "__DelegateSignature") + ", " + textLiteral(module.package) + ", " + flagList(def.flags) + ",");
			w.line("\t\t\t" + parameterList("Parms", def.params) + ",");
			w.line("\t\t\t" + metaList(def.meta) + "});");
			w.line("\t}");
			w.line("};");
			w.line("UFunction* " + def.name + "::GetSignature()");
			w.line("{");
			w.line("\tstatic UFunction* Signature = " + staticsName + "::Construct();");
			w.line("\treturn Signature;");
			w.line("}");
			w.line("static UECodeGen::FRegisterCompiledInDelegate Z_CompiledIn_UDelegateFunction_" + shortName + "(&" + def.name + "::GetSignature);");
			w.line();
		}

		std::string callArguments(const FunctionDef& function)
		{
			std::string text;
			for (size_t i = 0; i < function.params.size(); ++i)
			{
				text += (i > 0 ? ", " : "") + std::string("Parms.") + function.params[i].name;
			}
			return text;
		}

		void writeThunk(Writer& w, const ClassDef& cls, const FunctionDef& function)
		{
			const std::string parms = parmsTypeName(cls, function);
			w.line("\tstatic void exec" + function.name + "(UObject* Context, void* InParms)");
			w.line("\t{");
			if (function.bStatic)
			{
				w.line("\t\t(void)Context;");
			}
			if (function.params.empty() && function.returnStorageType.empty())
			{
				w.line("\t\t(void)InParms;");
			}
			else
			{
				w.line("\t\t" + parms + "& Parms = *static_cast<" + parms + "*>(InParms);");
			}
			const std::string callee = function.bStatic ? cls.name + "::" + function.name : "static_cast<" + cls.name + "*>(Context)->" + function.name + (function.bNativeEvent ? "_Implementation" : "");
			const std::string call = callee + "(" + callArguments(function) + ");";
			w.line("\t\t" + (function.returnStorageType.empty() ? call : "Parms.ReturnValue = " + call));
			w.line("\t}");
		}

		void writeEventDefinition(Writer& w, const ClassDef& cls, const FunctionDef& function)
		{
			const std::string parms = statics(cls) + "::" + parmsTypeName(cls, function);
			w.line((function.returnType.empty() ? std::string("void") : function.returnType) + " " + cls.name + "::" + function.name + "(" + function.declaredParams + ")" + (function.bConst ? " const" : ""));
			w.line("{");
			w.line("\t" + parms + " Z_Parms{};");
			for (const ParamDef& param : function.params)
			{
				w.line("\tZ_Parms." + param.name + " = " + param.name + ";");
			}
			const std::string self = function.bConst ? "const_cast<" + cls.name + "*>(this)" : "this";
			w.line("\t" + self + "->ProcessEvent(" + self + "->FindFunctionChecked(FName(" + textLiteral(function.name) + ")), &Z_Parms);");
			for (const ParamDef& param : function.params)
			{
				if (param.bOut)
				{
					w.line("\t" + param.name + " = Z_Parms." + param.name + ";");
				}
			}
			if (!function.returnType.empty())
			{
				w.line("\treturn Z_Parms.ReturnValue;");
			}
			w.line("}");
			w.line();
		}

		void writeClass(Writer& w, const ClassDef& def, const ModuleInfo& module)
		{
			w.line("struct " + statics(def));
			w.line("{");
			for (const FunctionDef& function : def.functions)
			{
				w.line("\t" + parmsStruct(parmsTypeName(def, function), function.params, function.returnStorageType));
				if (function.bNative)
				{
					writeThunk(w, def, function);
				}
			}
			if (!def.functions.empty())
			{
				w.line("\ttemplate <typename T> static void ConstructParms(void* Memory) { new (Memory) T(); }");
				w.line("\ttemplate <typename T> static void DestructParms(void* Memory) { static_cast<T*>(Memory)->~T(); }");
				w.line();
			}
			w.line("\tstatic UClass* Construct()");
			w.line("\t{");
			const std::string config = def.configName.empty() ? std::string("nullptr") : textLiteral(def.configName);
			w.line("\t\treturn UECodeGen::ConstructClass({" + textLiteral(withoutPrefix(def.name)) + ", " + textLiteral(module.package) + ", " + config + ", " + flagList(def.flags) + ", " + metaList(def.meta) + "},");
			w.line("\t\t\t" + def.superName + "::StaticClass(), sizeof(" + def.name + "), &UECodeGen::ConstructObject<" + def.name + ">,");
			w.line("\t\t\t{");
			for (const PropertyDef& property : def.properties)
			{
				w.line("\t\t\t\t" + makeProperty(def.name, property.name, property.cppType, property.flags, property.meta, "\n\t\t\t\t\t") + ",");
			}
			w.line("\t\t\t},");
			w.line("\t\t\t{");
			for (const FunctionDef& function : def.functions)
			{
				const std::string parms = parmsTypeName(def, function);
				std::vector<ParamDef> params = function.params;
				if (!function.returnStorageType.empty())
				{
					params.push_back(returnValueParam(function.returnStorageType));
				}
				w.line("\t\t\t\t{.Name = " + textLiteral(function.name) + ", .FunctionFlags = " + flagList(function.flags) + ", .Thunk = " + (function.bNative ? "&exec" + function.name : std::string("nullptr")) + ", .ParmsSize = sizeof(" + parms + "), .ConstructParms = &ConstructParms<" + parms + ">, .DestructParms = &DestructParms<" + parms + ">,");
				w.line("\t\t\t\t\t.Parameters = " + parameterList(parms, params) + ",");
				w.line("\t\t\t\t\t.MetaData = " + metaList(function.meta) + "},");
			}
			w.line("\t\t\t});");
			w.line("\t}");
			w.line("};");
			w.line("UClass* " + def.name + "::StaticClass()");
			w.line("{");
			w.line("\tstatic UClass* Class = " + statics(def) + "::Construct();");
			w.line("\treturn Class;");
			w.line("}");
			w.line("template <> UClass* StaticClass<" + def.name + ">() { return " + def.name + "::StaticClass(); }");
			w.line("static UECodeGen::FRegisterCompiledInClass Z_CompiledIn_UClass_" + def.name + "(&" + def.name + "::StaticClass);");
			w.line();
			for (const FunctionDef& function : def.functions)
			{
				if (function.bEvent)
				{
					writeEventDefinition(w, def, function);
				}
			}
		}
	}

	std::string textLiteral(const std::string& value)
	{
		std::string text = "TEXT(\"";
		for (char c : value)
		{
			switch (c)
			{
			case '"':
				text += "\\\"";
				break;
			case '\\':
				text += "\\\\";
				break;
			case '\n':
				text += "\\n";
				break;
			case '\r':
				text += "\\r";
				break;
			case '\t':
				text += "\\t";
				break;
			default:
				if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
				{
					char octal[8];
					std::snprintf(octal, sizeof(octal), "\\%03o", static_cast<unsigned>(static_cast<unsigned char>(c)));
					text += octal;
				}
				else
				{
					text += c;
				}
				break;
			}
		}
		return text + "\")";
	}

	std::string writeGeneratedHeader(const HeaderDef& header, const ModuleInfo& module)
	{
		const std::string guard = upper(identifierPart(module.name)) + "_" + identifierPart(header.stem) + "_generated_h";
		const std::string id = fileId(header, module);
		Writer w;
		w.line("// Generated by HeaderTool from " + fileName(header) + ". Do not edit.");
		w.line("#include \"UObject/ObjectMacros.h\"");
		w.line("#include \"UObject/ReflectedTypeAccessors.h\"");
		w.line();
		w.line("#ifdef " + guard);
		w.line("#error \"" + header.stem + ".generated.h already included, missing '#pragma once' in " + fileName(header) + "\"");
		w.line("#endif");
		w.line("#define " + guard);
		w.line();
		w.line("#undef CURRENT_FILE_ID");
		w.line("#define CURRENT_FILE_ID " + id);
		w.line();
		for (const TypeRef& ref : header.order)
		{
			if (ref.kind == TypeRef::Kind::Enum)
			{
				const EnumDef& def = header.enums[ref.index];
				std::string declaration = std::string(def.bEnumClass ? "enum class " : "enum ") + def.name;
				if (!def.underlyingType.empty())
				{
					declaration += " : " + def.underlyingType;
				}
				w.line(declaration + ";");
				w.line("template <> UEnum* StaticEnum<" + def.name + ">();");
				w.line();
			}
			else if (ref.kind == TypeRef::Kind::Struct)
			{
				const StructDef& def = header.structs[ref.index];
				w.line("#define " + id + "_" + std::to_string(def.generatedBodyLine) + "_GENERATED_BODY \\");
				w.line("public: \\");
				w.line("\tfriend struct Z_Construct_UScriptStruct_" + def.name + "_Statics; \\");
				w.line("\tstatic UScriptStruct* StaticStruct(); \\");
				if (!def.superName.empty())
				{
					w.line("\tusing Super = " + def.superName + "; \\");
				}
				w.line("public:");
				w.line("template <> UScriptStruct* StaticStruct<struct " + def.name + ">();");
				w.line();
			}
			else if (ref.kind == TypeRef::Kind::Class)
			{
				const ClassDef& def = header.classes[ref.index];
				w.line("#define " + id + "_" + std::to_string(def.generatedBodyLine) + "_GENERATED_BODY \\");
				w.line("public: \\");
				w.line("\tusing Super = " + def.superName + "; \\");
				w.line("\tusing ThisClass = " + def.name + "; \\");
				w.line("\tstatic UClass* StaticClass(); \\");
				if (!def.configName.empty())
				{
					// As the engine's tool does: a config= class gets its configuration name here, so
					// a class that declares it itself does not compile.
					w.line("\tstatic const TCHAR* StaticConfigName() { return " + textLiteral(def.configName) + "; } \\");
				}
				w.line("\tfriend struct " + statics(def) + "; \\");
				w.line("private:");
				w.line("template <> UClass* StaticClass<class " + def.name + ">();");
				w.line();
			}
		}
		return w.out;
	}

	std::string writeGeneratedSource(const HeaderDef& header, const ModuleInfo& module)
	{
		Writer w;
		w.line("// Generated by HeaderTool from " + fileName(header) + ". Do not edit.");
		w.line("#include \"" + header.absolutePath + "\"");
		w.line("#include \"UObject/GeneratedCodeHelpers.h\"");
		w.line();
		w.line("#include <new>");
		w.line();
		for (const TypeRef& ref : header.order)
		{
			switch (ref.kind)
			{
			case TypeRef::Kind::Enum:
				writeEnum(w, header.enums[ref.index], module);
				break;
			case TypeRef::Kind::Struct:
				writeStruct(w, header.structs[ref.index], module);
				break;
			case TypeRef::Kind::Class:
				writeClass(w, header.classes[ref.index], module);
				break;
			case TypeRef::Kind::Delegate:
				writeDelegate(w, header.delegates[ref.index], module);
				break;
			}
		}
		return w.out;
	}
}
