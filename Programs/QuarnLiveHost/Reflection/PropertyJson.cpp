#include "Reflection/PropertyJson.h"

#include "Output/Reporter.h"

#include "UObject/Class.h"
#include "UObject/Object.h"

#include <cstdlib>
#include <cstring>

namespace quarnlive::reflection
{
	namespace
	{
		template <typename T>
		T read(const void* value)
		{
			T result{};
			std::memcpy(&result, value, sizeof(T));
			return result;
		}

		nlohmann::ordered_json objectName(const UObject* object)
		{
			return object ? nlohmann::ordered_json(object->GetName().ToStdString()) : nlohmann::ordered_json();
		}

		std::int64_t enumValue(const FProperty& property, const void* value)
		{
			switch (property.ElementSize)
			{
			case 1:
				return read<std::uint8_t>(value);
			case 2:
				return read<std::int16_t>(value);
			case 4:
				return read<std::int32_t>(value);
			default:
				return read<std::int64_t>(value);
			}
		}

		nlohmann::ordered_json exportedText(const FProperty& property, const void* value)
		{
			if (!property.GetOps().ExportText)
			{
				return nlohmann::ordered_json();
			}
			FString text;
			property.ExportTextItem(text, value);
			return text.ToStdString();
		}
	} // namespace

	nlohmann::ordered_json valueJson(const FProperty& property, const void* value)
	{
		switch (property.GetKind())
		{
		case EPropertyKind::Bool:
			return read<bool>(value);
		case EPropertyKind::Int8:
			return read<std::int8_t>(value);
		case EPropertyKind::Int16:
			return read<std::int16_t>(value);
		case EPropertyKind::Int32:
			return read<std::int32_t>(value);
		case EPropertyKind::Int64:
			return read<std::int64_t>(value);
		case EPropertyKind::Byte:
			return read<std::uint8_t>(value);
		case EPropertyKind::UInt16:
			return read<std::uint16_t>(value);
		case EPropertyKind::UInt32:
			return read<std::uint32_t>(value);
		case EPropertyKind::UInt64:
			return read<std::uint64_t>(value);
		// Through the float's shortest text, so 0.1f reads 0.1.
		case EPropertyKind::Float:
			return output::jsonNumber(read<float>(value));
		case EPropertyKind::Double:
			return read<double>(value);
		case EPropertyKind::Str:
			return static_cast<const FString*>(value)->ToStdString();
		case EPropertyKind::Name:
			return static_cast<const FName*>(value)->ToString().ToStdString();
		case EPropertyKind::Text:
			return static_cast<const FText*>(value)->ToString().ToStdString();
		case EPropertyKind::Enum:
		{
			const UEnum* type = property.GetEnum();
			const std::int64_t number = enumValue(property, value);
			const FString name = type ? type->GetNameStringByValue(number) : FString();
			return name.IsEmpty() ? nlohmann::ordered_json(number) : nlohmann::ordered_json(name.ToStdString());
		}
		case EPropertyKind::Struct:
		{
			const UScriptStruct* type = property.GetStruct();
			return type ? structJson(*type, value) : exportedText(property, value);
		}
		case EPropertyKind::Object:
			return objectName(read<const UObject*>(value));
		case EPropertyKind::Array:
		{
			nlohmann::ordered_json items = nlohmann::ordered_json::array();
			void* array = const_cast<void*>(value);
			const int32 count = property.GetOps().ArrayNum(array);
			for (int32 index = 0; index < count; ++index)
			{
				items.push_back(valueJson(*property.GetInner(), property.GetOps().ArrayElement(array, index)));
			}
			return items;
		}
		case EPropertyKind::WeakObject:
		case EPropertyKind::Class:
		case EPropertyKind::Delegate:
		case EPropertyKind::MulticastDelegate:
		case EPropertyKind::Opaque:
			return exportedText(property, value);
		}
		return nlohmann::ordered_json();
	}

	nlohmann::ordered_json structJson(const UStruct& type, const void* container)
	{
		nlohmann::ordered_json result = type.GetSuperStruct() ? structJson(*type.GetSuperStruct(), container) : nlohmann::ordered_json::object();
		for (const FProperty* property : type.GetOwnProperties())
		{
			result[property->GetName().ToStdString()] = valueJson(*property, property->ContainerPtrToValuePtr(container));
		}
		return result;
	}
} // namespace quarnlive::reflection
