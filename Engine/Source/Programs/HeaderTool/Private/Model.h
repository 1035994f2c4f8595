#pragma once

#include <string>
#include <utility>
#include <vector>

namespace HeaderTool
{
	// Ordered key/value metadata; setting a key again replaces its value in place.
	class MetaData
	{
	public:
		void set(const std::string& key, const std::string& value)
		{
			for (auto& entry : entries)
			{
				if (entry.first == key)
				{
					entry.second = value;
					return;
				}
			}
			entries.emplace_back(key, value);
		}

		const std::vector<std::pair<std::string, std::string>>& items() const { return entries; }

	private:
		std::vector<std::pair<std::string, std::string>> entries;
	};

	// Flags are kept as the names of the engine's enumerators, in the order they are set.
	class FlagSet
	{
	public:
		void add(const std::string& flag)
		{
			for (const std::string& existing : names)
			{
				if (existing == flag)
				{
					return;
				}
			}
			names.push_back(flag);
		}

		bool has(const std::string& flag) const
		{
			for (const std::string& existing : names)
			{
				if (existing == flag)
				{
					return true;
				}
			}
			return false;
		}

		const std::vector<std::string>& items() const { return names; }

	private:
		std::vector<std::string> names;
	};

	enum class Access
	{
		Public,
		Protected,
		Private,
	};

	struct PropertyDef
	{
		std::string name;
		std::string cppType; // as written, whitespace-normalised
		FlagSet flags;
		MetaData meta;
		int line = 0;
	};

	struct ParamDef
	{
		std::string name;
		std::string storageType; // decayed type used in the parameter block
		FlagSet flags;
		MetaData meta;
		bool bOut = false; // written back by events (non-const reference)
	};

	// The slot a function or delegate returns through, last in its parameter block.
	inline ParamDef returnValueParam(const std::string& storageType)
	{
		ParamDef returnValue;
		returnValue.name = "ReturnValue";
		returnValue.storageType = storageType;
		returnValue.flags.add("CPF_Parm");
		returnValue.flags.add("CPF_OutParm");
		returnValue.flags.add("CPF_ReturnParm");
		return returnValue;
	}

	struct FunctionDef
	{
		std::string name;
		FlagSet flags;
		MetaData meta;
		std::vector<ParamDef> params;
		std::string returnType; // as written; empty for void
		std::string returnStorageType; // decayed
		std::string declaredParams; // parameter list as declared, for the event definition
		bool bStatic = false;
		bool bConst = false;
		bool bNative = false; // has a thunk
		bool bEvent = false; // gets a generated definition routing through ProcessEvent
		bool bNativeEvent = false; // thunk calls Name_Implementation
		int line = 0;
	};

	struct EnumeratorDef
	{
		std::string name;
		MetaData meta;
	};

	struct EnumDef
	{
		std::string name;
		std::string underlyingType; // empty when none was written
		bool bEnumClass = false;
		MetaData meta;
		std::vector<EnumeratorDef> enumerators;
		int line = 0;
	};

	struct StructDef
	{
		std::string name;
		std::string superName; // empty for a root struct
		FlagSet flags;
		MetaData meta;
		std::vector<PropertyDef> properties;
		int generatedBodyLine = 0;
		int line = 0;
	};

	struct ClassDef
	{
		std::string name;
		std::string superName;
		std::string configName;
		FlagSet flags;
		MetaData meta;
		std::vector<PropertyDef> properties;
		std::vector<FunctionDef> functions;
		int generatedBodyLine = 0;
		int line = 0;
	};

	struct DelegateDef
	{
		std::string name; // the declared type, "FOnThing"
		bool bMulticast = false;
		FlagSet flags;
		MetaData meta;
		std::vector<ParamDef> params; // ReturnValue last, when there is one
		std::string returnStorageType;
		int line = 0;
	};

	// A reflected type by kind and index, so output follows declaration order.
	struct TypeRef
	{
		enum class Kind
		{
			Enum,
			Struct,
			Class,
			Delegate,
		};
		Kind kind;
		size_t index;
	};

	struct HeaderDef
	{
		std::string path; // as given on the command line
		std::string absolutePath;
		std::string stem;
		std::string includePath; // relative to the module's Public/Classes/Private folder
		std::string moduleRelativePath;
		bool bReflected = false; // includes its .generated.h

		std::vector<EnumDef> enums;
		std::vector<StructDef> structs;
		std::vector<ClassDef> classes;
		std::vector<DelegateDef> delegates;
		std::vector<TypeRef> order;
	};
}
